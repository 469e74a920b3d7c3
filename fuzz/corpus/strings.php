	<?php
$s = 'it\'s';
$t = "a \"mysql_query\" b\\";
$u = "single ' inside";
$v = 'double " inside';
$w = "?> inside a string";
echo "$s {$t} ${u}";
?>