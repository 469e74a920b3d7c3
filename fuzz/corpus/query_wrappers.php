<?php
function run_query($sql)
{
    $result = ($GLOBALS['pg_last_result'] = @pg_query($GLOBALS['pg_last_link'], $sql));
    if (!$result) die(h($sql));
    return $result;
}
function page_rows($sql, $page) { $q = $sql; return run_query($q); }
function changed($sql) { $sql .= ' LIMIT 1'; return run_query($sql); }
class Db {
    function query($sql) { return mysql_query($sql, $this->link); }
    static function one($s) { return self::query($s); }
}
$r = run_query("SELECT `name` FROM `users` LIMIT " . (int) $first . ", " . (int) $count);
page_rows("SELECT IFNULL(`nick`, 'none') FROM `users`", 2);
$db->query('UPDATE `users` SET `seen` = 1 WHERE `id` = 5 LIMIT 1');
Db::one("SELECT `id` FROM `t` WHERE a = '$a'");
changed('SELECT `x` FROM y');
