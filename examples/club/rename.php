<?php
// Renames a member: sent by the member page's form.
require 'include/db.php';

$store = new MemberStore();
$changed = $store->rename(posted('id'), posted('name'));
page_header('Rename');
echo "<p>" . $changed . " member renamed.</p>\n";
page_footer();
?>
