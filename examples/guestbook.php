<html>
<head><title>Guestbook</title></head>
<body>
<?php
/* Guestbook, written for the MySQL extension.
   Converting it shows most of what corvexa does. */
include('config.php');

$link = mysql_connect($db_host, $db_user, $db_pass);
if (!$link) {
    die('Could not connect: ' . mysql_error());
}
mysql_select_db('guestbook');

$result = mysql_query("SELECT id, name, message FROM entries ORDER BY id DESC", $link);
$count = mysql_num_rows($result);
$fields = mysql_num_fields($result);
echo "<p>$count entries, $fields columns ("
   . mysql_field_name($result, 0) . " is a " . mysql_field_type($result, 0) . ")</p>\n";
?>
<table>
<?php
while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {
    // Escape on the way out; mysql_query() is not needed here.
    echo '<tr><td>' . htmlspecialchars($row['name']) . '</td><td>'
       . htmlspecialchars($row['message']) . "</td></tr>\n";
}
mysql_free_result($result);
?>
</table>
<?php
if (isset($_POST['name'])) {
    $sql = "INSERT INTO entries (name, message) VALUES ('"
         . addslashes($_POST['name']) . "', '" . addslashes($_POST['message']) . "')";
    mysql_query($sql);
    echo "Saved as entry " . mysql_insert_id($link) . ", "
       . mysql_affected_rows($link) . " row(s).";
}

$latest = mysql_query("SELECT name FROM entries ORDER BY id DESC LIMIT 1");
$first = mysql_fetch_row($latest);
$again = mysql_fetch_object($latest);
$assoc = mysql_fetch_assoc($latest);
$name = mysql_result($latest, 0, 'name');
mysql_data_seek($latest, 0);
$lengths = mysql_fetch_lengths($latest);
$tables = mysql_list_tables('guestbook');
if (mysql_errno()) {
    echo "Error: " . mysql_error();
}
mysql_close($link);
?>
</body>
</html>
