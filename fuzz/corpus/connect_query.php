<html><body>
<?php
$link = mysql_connect($host, $user, $pass);
mysql_select_db("shop", $link);
$r = mysql_query("SELECT * FROM t WHERE a = \"x\"", $link);
while ($row = mysql_fetch_array($r, MYSQL_ASSOC)) {
  echo $row["a"];
}
mysql_free_result($r);
mysql_close($link);
?>
</body></html>
