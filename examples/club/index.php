<?php
// The member list, a page at a time.
require 'include/db.php';

$store = new MemberStore();
$page = isset($_GET['page']) ? max(1, (int) $_GET['page']) : 1;
$members = $store->page(($page - 1) * $page_size, $page_size);

page_header('Members');
echo "<p>" . $store->count() . " members in all; page " . $page . ".</p>\n<ul>\n";
foreach ($members as $member) {
    echo '<li><a href="member.php?id=' . $member['id'] . '">' . h($member['name']) . '</a> ('
        . h($member['boat']) . ")</li>\n";
}
echo "</ul>\n";
if ($page * $page_size < $store->count()) {
    echo '<p><a href="index.php?page=' . ($page + 1) . "\">Next page</a></p>\n";
}
page_footer();
?>
