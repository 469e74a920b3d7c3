<?php
/*
 * Guestbook settings and small helpers, shared by every page.
 *
 * The four settings below are handed to mysql_connect() and
 * mysql_select_db() by index.php.
 */
$db_host = '127.0.0.1';
$db_user = 'guestbook';
$db_pass = 'letmein';
$db_name = 'guestbook';

$site_title = 'Our Guestbook';

// Escapes a text for an HTML page.
function h($text)
{
    return htmlspecialchars($text, ENT_QUOTES);
}

// Quotes a text for an SQL statement: doubled single quotes work on every
// database, unlike the backslashes of addslashes().
function quote($text)
{
    return "'" . str_replace("'", "''", $text) . "'";
}
?>
