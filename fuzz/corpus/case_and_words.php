<?php
MYSQL_QUERY($q);
MySql_Close($l);
$mysql_query = 1;
$o->mysql_query($q);
A::mysql_close($l);
_mysql_query($q);
function mysql_error() {}
else{ mysql('d', $q); }
$a||$b; $$x; ${y}; 3rd;
?>