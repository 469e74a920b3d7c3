<?php mysql_query($q # mysql_close(
, /* ) */ $l) . mysql_num_rows(mysql_query(<<<SQL
SELECT ) ,
SQL
)); $o->mysql_ping(); MYSQL_ASSOC; mysql_errno() == 1451 ?> mysql_close(