<?
$res = mysql_db_query('shop', $sql);
$res2 = mysql('shop', $sql, $link);
mysql_create_db('x');
mysql_createdb('y', $l);
mysql_drop_db('x');
mysql_dropdb('y', $l);
echo mysql_error();
echo mysql_error($l);
$id = mysql_insert_id($link);
$n = mysql_affected_rows();
?>
