<?php
$r = mysql_query;
$e = mysql_errno $x;
mysql_close
?>
<?php mysql_select_db ?>