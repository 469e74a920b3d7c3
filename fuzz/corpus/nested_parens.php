<?php
$n = mysql_num_rows(mysql_query($q));
$m = mysql_num_rows(mysql_query($q, $l));
$r = mysql_query(sprintf("%s", f(g(h($a, $b), ($c)), $d)), $link);
$z = mysql_query((($a)), ($b), ($c), ($d));
?>