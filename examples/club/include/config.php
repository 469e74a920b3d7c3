<?php
// The club's settings. The database runs on this machine; the port in the
// host is MySQL's, as legacy settings often have it.
$db_host = '127.0.0.1:3306';
$db_user = 'club';
$db_pass = 'members only';

$site_name = "The Riverside Rowing Club";
$page_size = 3;
?>
