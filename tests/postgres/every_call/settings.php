<?php
// The settings of the every-call script, in an include as legacy code has them.
$db_host = '127.0.0.1:3306';
$db_user = 'every_call';
$db_pass = "it's secret";
$db_name = 'every_call';
