<?php
// Opens the one connection every page uses. The functions and classes
// below never name it: they rely on MySQL's "last connection opened".
require_once dirname(__FILE__) . '/config.php';

$connection = mysql_connect($db_host, $db_user, $db_pass)
    or die('Could not connect: ' . mysql_error());
mysql_select_db('club', $connection) or die('Could not select the database: ' . mysql_error());
mysql_set_charset('utf8');

require_once dirname(__FILE__) . '/functions.php';
require_once dirname(__FILE__) . '/MemberStore.php';
?>
