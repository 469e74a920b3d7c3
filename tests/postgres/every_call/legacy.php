<?php
/*
 * Every function and constant of PHP's MySQL extension, called the way
 * legacy code calls them: most without a link, some inside other calls,
 * some in functions and a class. Converted by corvexa-tree's complete rules
 * and run on PHP 8 against PostgreSQL, it must print expected.txt and not
 * one error, warning, notice or deprecation.
 */
require 'settings.php';

function add_member($name, $email, $score)
{
    $sql = sprintf("INSERT INTO members (name, email, score) VALUES ('%s', '%s', %d)",
        mysql_real_escape_string($name), mysql_escape_string($email), $score);
    if (!mysql_query($sql)) {
        if (mysql_errno() == 1062) {
            return 'duplicate';
        }
        return 'failed with ' . mysql_errno();
    }
    return mysql_insert_id();
}

class Members
{
    public function count()
    {
        return mysql_result(mysql_query('SELECT count(*) FROM members'), 0);
    }
}

// A failed first connect still says why, through mysql_error().
$none = @mysql_connect($db_host, $db_user, 'not the password');
echo 'failed connect: ', var_export($none, true), ', reason given: ',
    (mysql_error() !== '' ? 'yes' : 'no'), "\n";

$link = mysql_connect($db_host, $db_user, $db_pass) or die('no connection: ' . mysql_error());
mysql_select_db($db_name, $link) or die(mysql_error());
echo 'charset: ', var_export(mysql_set_charset('utf8'), true), ', ', mysql_client_encoding(), "\n";
echo 'ping: ', var_export(mysql_ping(), true), "\n";
echo 'insert id before any insert: ', mysql_insert_id(), "\n";
echo 'server: ', (mysql_get_server_info() !== '' ? 'known' : 'unknown'),
    ', client: ', (mysql_get_client_info() !== '' ? 'known' : 'unknown'),
    ', host: ', mysql_get_host_info(), ', protocol: ', mysql_get_proto_info(), "\n";
echo 'thread: ', (mysql_thread_id() > 0 ? 'known' : 'unknown'),
    ', stat: ', (strpos(mysql_stat(), 'Uptime: ') === 0 ? 'uptime' : mysql_stat()), "\n";

echo 'add: ', add_member("O'Hara", 'ohara@example.org', 7), "\n";
echo 'add: ', add_member('Smith', 'smith@example.org', 3), "\n";
echo 'add: ', add_member('Smith again', 'smith@example.org', 1), "\n";
echo 'errno after a duplicate: ', mysql_errno(), ', error given: ',
    (mysql_error() !== '' ? 'yes' : 'no'), "\n";
mysql_query('UPDATE members SET score = score + 1', $link);
echo 'affected: ', mysql_affected_rows(), ', ', mysql_affected_rows($link), "\n";
$members = new Members();
echo 'count: ', $members->count(), "\n";

$result = mysql_query('SELECT id, name, score FROM members ORDER BY id');
echo 'rows: ', mysql_num_rows($result), ', fields: ', mysql_num_fields($result), "\n";
echo 'field 1: ', mysql_field_name($result, 1), ' of ', mysql_field_table($result, 1),
    ', field 2: ', mysql_field_type($result, 2), ' of ', mysql_field_len($result, 2), " bytes\n";
$field = mysql_fetch_field($result, 1);
echo 'fetch_field: ', $field->name, ' of ', $field->table, "\n";
while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {
    echo '  ', $row['id'], ' ', $row['name'], ' ', $row['score'], "\n";
}
mysql_data_seek($result, 0);
echo 'fetch_row: ', implode(',', mysql_fetch_row($result)), "\n";
echo 'fetch_assoc: ', mysql_fetch_assoc($result)['name'], "\n";
mysql_data_seek($result, 0);
echo 'fetch_object: ', mysql_fetch_object($result)->name, "\n";
$row = mysql_fetch_array($result);
echo 'fetch_array: ', $row[1], ' = ', $row['name'], ', ', count($row), " values\n";
mysql_data_seek($result, 0);
$row = mysql_fetch_array($result, MYSQL_NUM);
echo 'numbered: ', count($row), ' values, ', mysql_fetch_array($result, MYSQL_BOTH)['score'], "\n";
echo 'result: ', mysql_result($result, 1, 'name'), ', ', mysql_result($result, 0), "\n";
// MySQL matched a field's name in any letter case, and table.name by its name.
echo 'result by name: ', mysql_result($result, 1, 'Name'), ', ', mysql_result($result, 0, 'members.NAME'), "\n";
echo 'free: ', var_export(mysql_free_result($result), true), "\n";

$tables = mysql_list_tables($db_name);
echo 'tables: ', mysql_num_rows($tables), ', first: ', mysql_tablename($tables, 0), "\n";
$databases = mysql_list_dbs();
$listed = false;
for ($i = 0; $i < mysql_num_rows($databases); $i++) {
    $listed = $listed || mysql_db_name($databases, $i) == $db_name;
}
echo 'database listed: ', var_export($listed, true), "\n";
$fields = mysql_list_fields($db_name, 'Members');
echo 'list_fields: ', mysql_num_fields($fields), ', ', mysql_field_name($fields, 2), "\n";
echo 'processes: ', (mysql_num_rows(mysql_list_processes()) > 0 ? 'some' : 'none'), "\n";
echo 'db_query: ', mysql_result(mysql_db_query($db_name, 'SELECT max(score) FROM members'), 0), "\n";
echo 'unbuffered: ', mysql_result(mysql_unbuffered_query("SELECT name FROM members WHERE id = 2"), 0), "\n";

$failed = mysql_query('SELECT nothing FROM nowhere');
echo 'failed query: ', var_export($failed, true), ', errno ', mysql_errno(), "\n";
mysql_query('SELECT 1');
echo 'after success: errno ', mysql_errno(), ', error "', mysql_error(), "\"\n";

echo 'create_db: ', var_export(mysql_create_db('every_call_extra'), true),
    ', drop_db: ', var_export(mysql_drop_db('every_call_extra'), true), "\n";
$second = mysql_connect($db_host, $db_user, $db_pass, true);
echo 'new link: ', var_export($second !== $link, true), ', close: ', var_export(mysql_close($second), true), "\n";
$persistent = mysql_pconnect($db_host, $db_user, $db_pass);
echo 'pconnect: ', ($persistent ? 'connected' : 'failed'), "\n";
echo 'info: ', var_export(mysql_info(), true), ', lengths: ', var_export(mysql_fetch_lengths(mysql_query('SELECT 1')), true),
    ', flags: ', var_export(mysql_field_flags(mysql_query('SELECT 1'), 0), true), "\n";
echo 'close: ', var_export(mysql_close($link), true), "\n";
