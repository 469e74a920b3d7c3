<?php
$h = <<<EOT
Don't mysql_query($x) here
EOT;
?>