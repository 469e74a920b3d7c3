<?php
/*
 * Guestbook front page.
 *
 * Connects with mysql_connect(), creates the entries table, fills it with a
 * few sample entries and shows them (see listing.php).  Written for PHP 4
 * and the MySQL extension.
 */
require 'config.php';

$link = mysql_connect($db_host, $db_user, $db_pass);
if (!$link) {
    die('Could not connect: ' . mysql_error());
}
mysql_select_db('guestbook', $link);
?>
<html>
<head>
<title><?php echo h($site_title); ?></title>
</head>
<body>
<h1><?= h($site_title) ?></h1>
<p>This page was written for mysql_query() and mysql_fetch_array().</p>
<?php
// Start from an empty table on every visit: this is a demonstration.
mysql_query('DROP TABLE IF EXISTS entries', $link);
$sql = 'CREATE TABLE entries (id INT NOT NULL, name VARCHAR(40) NOT NULL, '
     . 'message VARCHAR(200) NOT NULL, PRIMARY KEY (id))';
mysql_query($sql, $link) or die('Could not create the table: ' . mysql_error($link));

$entries = array(
    array(1, 'Anna', 'Nice site!'),
    array(2, "Patrick O'Brien", 'Greetings from Cork.'),
    array(3, 'Mei', 'See you at the meetup.'),
    array(4, 'Jonas', 'Who still calls mysql_fetch_row()?'),
);
foreach ($entries as $entry) {
    $sql = 'INSERT INTO entries (id, name, message) VALUES ('
         . $entry[0] . ', ' . quote($entry[1]) . ', ' . quote($entry[2]) . ')';
    // No link here: mysql_query() then uses the last connection opened.
    mysql_query($sql) or die('Could not add an entry: ' . mysql_error());
}
?>
<h2>Summary</h2>
<?php
$result = mysql_query('SELECT id, name, message FROM entries ORDER BY id', $link);
$rows = mysql_num_rows($result);
$fields = mysql_num_fields($result);
echo "<p>$rows entries with $fields columns of types";
for ($i = 0; $i < $fields; $i++) {
    echo ' ' . mysql_field_type($result, $i);
}
echo ".</p>\n";
mysql_free_result($result);

include 'listing.php';

/* Done with the database: mysql_close() ends the connection. */
mysql_close($link);
?>
<p>Thank you for visiting. The connection is closed.</p>
</body>
</html>
