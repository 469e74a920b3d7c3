<?php
// Figures about the club, the database and the connection.
require 'include/db.php';

page_header('Statistics');
echo "<p>Boats: " . mysql_num_rows(mysql_query("SELECT id FROM boats")) . ".</p>\n";
$longest = run_query("SELECT m.`name`, SUM(o.`distance_km`) AS km FROM `members` m"
    . " JOIN `outings` o ON o.`member_id` = m.`id` GROUP BY m.`name` ORDER BY km DESC, m.`name`");
echo "<table>\n<tr>";
for ($i = 0; $i < mysql_num_fields($longest); $i++) {
    echo "<th>" . h(mysql_field_name($longest, $i)) . "</th>";
}
echo "</tr>\n";
while ($row = mysql_fetch_array($longest, MYSQL_BOTH)) {
    echo "<tr><td>" . h($row[0]) . "</td><td>" . h($row['km']) . "</td></tr>\n";
}
echo "</table>\n";
$tables = mysql_list_tables('club');
echo "<p>Tables: " . mysql_num_rows($tables) . ".</p>\n";
echo "<p>Connection: " . (mysql_ping() ? 'alive' : 'lost') . ".</p>\n";
page_footer();
?>
