<?php
// Small helpers shared by the pages.

function h($text)
{
    return htmlspecialchars($text, ENT_QUOTES, 'UTF-8');
}

// Runs a query, or stops the page with MySQL's reason.
function run_query($sql)
{
    $result = mysql_query($sql);
    if (!$result) {
        die('<p class="error">Query failed: ' . h(mysql_error()) . '</p>');
    }
    return $result;
}

// A field of the posted form as it was typed: with magic quotes on, PHP
// had put a backslash before every quote in it.
function posted($name)
{
    $value = isset($_POST[$name]) ? $_POST[$name] : '';
    return get_magic_quotes_gpc() ? stripslashes($value) : $value;
}

function quoted($text)
{
    return "'" . mysql_real_escape_string($text) . "'";
}

// Every row of a result, as arrays keyed by column name.
function all_rows($result)
{
    $rows = array();
    while ($row = mysql_fetch_assoc($result)) {
        $rows[] = $row;
    }
    mysql_free_result($result);
    return $rows;
}

function page_header($title)
{
    global $site_name;
    echo "<html><head><title>" . h($title) . " - " . h($site_name) . "</title></head><body>\n";
    echo "<h1>" . h($title) . "</h1>\n";
}

function page_footer()
{
    echo "<p><a href=\"index.php\">Members</a> | <a href=\"add.php\">Join</a> | "
        . "<a href=\"search.php\">Search</a> | <a href=\"stats.php\">Statistics</a></p>\n";
    echo "</body></html>\n";
}
?>
