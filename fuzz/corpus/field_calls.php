<?php
$a = mysql_field_name($r, 0); $b = mysql_fieldname($r, 1);
$c = mysql_field_type($r, 0); $d = mysql_fieldtype($r, 1);
$e = mysql_field_len($r, 1); $f = mysql_fieldlen($r, 2);
mysql_freeresult($r);
$v = mysql_result($r, 0, 'name');
$w = mysql_result($r, 0);
$p = mysql_pconnect("h", "u", "p");
?>