<?php
// Members whose name contains a text.
require 'include/db.php';

$text = isset($_GET['q']) ? $_GET['q'] : '';
page_header('Search');
$found = all_rows(run_query("SELECT id, name FROM members WHERE name LIKE '%"
    . mysql_escape_string($text) . "%' ORDER BY name"));
echo "<p>" . count($found) . " found for &quot;" . h($text) . "&quot;.</p>\n<ul>\n";
foreach ($found as $member) {
    echo '<li>' . h($member['name']) . "</li>\n";
}
echo "</ul>\n";
page_footer();
?>
