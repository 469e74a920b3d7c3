<?php
// One member and the outings they rowed in.
require 'include/db.php';

$store = new MemberStore();
$member = $store->find(isset($_GET['id']) ? $_GET['id'] : 0);
if ($member === null) {
    page_header('No such member');
    page_footer();
    exit;
}
page_header($member->name);
echo "<p>E-mail: " . h($member->email) . "; member since " . h($member->joined) . ".</p>\n";

$outings = mysql_query("SELECT o.rowed_on, o.distance_km FROM outings o"
    . " WHERE o.member_id = " . (int) $member->id . " ORDER BY o.rowed_on");
$count = mysql_num_rows($outings);
if ($count == 0) {
    echo "<p>No outings yet.</p>\n";
} else {
    $total = 0;
    while ($outing = mysql_fetch_row($outings)) {
        $total += $outing[1];
    }
    // Back to the first outing, which the summary names.
    mysql_data_seek($outings, 0);
    $first = mysql_fetch_array($outings);
    echo "<p>" . $count . " outings, " . $total . " km in all; the first on "
        . h($first['rowed_on']) . ", the last on " . h(mysql_result($outings, $count - 1, 'rowed_on'))
        . ".</p>\n";
}
mysql_free_result($outings);
page_footer();
?>
