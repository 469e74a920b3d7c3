<?php
// The form to join the club, and what happens when it is sent.
require 'include/db.php';

page_header('Join the club');
if ($_SERVER['REQUEST_METHOD'] == 'POST') {
    $store = new MemberStore();
    $id = $store->add($_POST['name'], $_POST['email'], $_POST['boat']);
    if ($id === false) {
        echo "<p class=\"error\">" . h($_POST['email']) . " is already a member's address.</p>\n";
    } else {
        echo "<p>Welcome, " . h($_POST['name']) . "! Your member number is " . $id . ".</p>\n";
    }
}
$boats = run_query("SELECT id, name FROM boats ORDER BY name");
echo "<form method=\"post\">\n<select name=\"boat\">\n";
while ($boat = mysql_fetch_array($boats, MYSQL_NUM)) {
    echo '<option value="' . $boat[0] . '">' . h($boat[1]) . "</option>\n";
}
echo "</select>\n</form>\n";
page_footer();
?>
