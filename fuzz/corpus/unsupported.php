<?php
$x = mysql_data_seek($r, 0);
mysql_change_user($u, $p);
echo mysql_errno();
mysql_fetch_field($r); mysql_fetch_lengths($r);
mysql_field_seek($r, 1); mysql_fieldseek($r, 1);
mysql_field_table($r, 0); mysql_fieldtable($r, 0);
mysql_field_flags($r, 0); mysql_fieldflags($r, 0);
mysql_list_fields("d", "t"); mysql_listfields("d", "t");
mysql_list_dbs(); mysql_listdbs();
mysql_list_tables("d"); mysql_listtables("d");
mysql_tablename($r, 0);
?>
