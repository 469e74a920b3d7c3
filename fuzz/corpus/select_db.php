<?php
mysql_select_db('default');
mysql_select_db("shop");
mysql_selectdb($db);
mysql_select_db();
mysql_select_db('shop'.$x);
mysql_select_db(');
?>