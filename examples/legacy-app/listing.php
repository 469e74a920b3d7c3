<?php
/*
 * The guest list, shown once for each way the MySQL extension hands out a
 * row.  Included by index.php, which has opened $link.
 */
$query = 'SELECT id, name, message FROM entries ORDER BY id';
?>
<h2>By column name (mysql_fetch_array with MYSQL_ASSOC)</h2>
<ul>
<?php
$result = mysql_query($query, $link);
while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {
    echo '<li>' . h($row['name']) . ': ' . h($row['message']) . "</li>\n";
}
mysql_free_result($result);
?>
</ul>
<h2>By column number (MYSQL_NUM)</h2>
<ol>
<?php
$result = mysql_query($query);
while ($row = mysql_fetch_array($result, MYSQL_NUM)) {
    echo '<li value="' . $row[0] . '">' . h($row[1]) . "</li>\n";
}
mysql_free_result($result);
?>
</ol>
<h2>Both ways (MYSQL_BOTH)</h2>
<?php
$result = mysql_query($query, $link);
$row = mysql_fetch_array($result, MYSQL_BOTH);
echo '<p>' . count($row) . ' values; $row[1] is ' . h($row[1])
   . ' and $row[\'name\'] is ' . h($row['name']) . ".</p>\n";
mysql_free_result($result);
?>
<h2>Default mode</h2>
<?php
// mysql_fetch_array() without a mode gives both kinds of keys too.
$result = mysql_query($query, $link);
$count = 0;
while ($row = mysql_fetch_array($result)) {
    $count += count($row);
}
echo "<p>$count values in all.</p>\n";
mysql_free_result($result);
?>
<h2>As a table (mysql_fetch_assoc)</h2>
<table>
<?php
$result = mysql_query($query, $link);
$first = true;
while ($row = mysql_fetch_assoc($result)) {
    if ($first) {
        echo '<tr><th>' . implode('</th><th>', array_keys($row)) . "</th></tr>\n";
        $first = false;
    }
    echo '<tr><td>' . implode('</td><td>', array_map('h', $row)) . "</td></tr>\n";
}
mysql_free_result($result);
?>
</table>
<h2>As objects (mysql_fetch_object)</h2>
<?php
$result = mysql_query($query, $link);
while ($guest = mysql_fetch_object($result)) {
    echo '<p>' . h($guest->name) . ' wrote: &quot;' . h($guest->message) . "&quot;</p>\n";
}
mysql_free_result($result);
?>
<h2>Plain rows (mysql_fetch_row)</h2>
<pre>
<?php
$result = mysql_query($query, $link);
if (mysql_num_rows($result) == 0) {
    echo "The guestbook is empty.\n";
}
while ($row = mysql_fetch_row($result)) {
    echo implode(' | ', $row) . "\n";
}
mysql_free_result($result);
?>
</pre>
