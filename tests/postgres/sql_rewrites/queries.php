<?php
// Queries written for MySQL, behind pg_* calls as corvexa converts them. The
// SQL checks' rewrites must make each one run on PostgreSQL and print what
// it printed on MySQL (expected.txt). Times are UTC, as MySQL's were.
$link = pg_connect('dbname=' . getenv('PGDATABASE'));
$GLOBALS['pg_last_link'] = $link;  // where the converted connect keeps it
pg_query($link, "SET TIME ZONE 'UTC'");

// Prints every row of a result: columns joined by "|", rows by ",".
function show($label, $result)
{
    $rows = array();
    while ($row = pg_fetch_row($result)) {
        $rows[] = implode('|', $row);
    }
    echo $label, ': ', implode(',', $rows), "\n";
}

$start = 1;
$count = 2;
$days = 40;
$id = 3;
$who = 'bob';

show('backquotes', pg_query($link, 'SELECT `name` FROM `users` ORDER BY `id` LIMIT 1, 1'));
show('limit placeholders', pg_query($link, "SELECT name FROM users ORDER BY id LIMIT $start, $count"));
show('reserved names', pg_query($link, 'SELECT `order` FROM `users` WHERE `name` = \'ann\''));
show('user table', pg_query($link, "SELECT login FROM `user`"));
show('user column', pg_query($link, "SELECT user FROM sessions"));
show('ifnull', pg_query($link, 'SELECT IFNULL(score, -1) FROM users WHERE id = 1'));
show('if', pg_query($link, "SELECT IF(score > 5, 'high', 'low') FROM users WHERE name = \"$who\""));
show('if single quoted', pg_query($link, 'SELECT IF(id = 1, \'one\', \'other\') FROM users WHERE id = 1'));
show('interval', pg_query($link, "SELECT count(*) FROM users WHERE created > TIMESTAMP '2024-02-03 12:00:00' - INTERVAL 1 DAY"));
show('interval placeholder', pg_query($link, "SELECT count(*) FROM users WHERE created > TIMESTAMP '2024-02-03 12:00:00' - INTERVAL $days DAY"));
show('date_sub', pg_query($link, 'SELECT DATE_SUB(created, INTERVAL 1 DAY) FROM users WHERE id = 1'));
show('date_add', pg_query($link, 'SELECT DATE_ADD(created, INTERVAL 2 HOUR) FROM users WHERE id = 1'));
show('rand', pg_query($link, "SELECT IF(RAND() < 1, 'yes', 'no')"));
show('unix_timestamp', pg_query($link, 'SELECT UNIX_TIMESTAMP(created) FROM users WHERE id = 1'));
show('unix_timestamp now', pg_query($link, "SELECT IF(UNIX_TIMESTAMP() > 1700000000, 'now', 'past')"));
show('from_unixtime', pg_query($link, 'SELECT FROM_UNIXTIME(1704164645)'));
show('curdate', pg_query($link, "SELECT IF(CURDATE() = CURRENT_DATE, 'today', 'no')"));
show('locate', pg_query($link, "SELECT LOCATE('b', 'abcb')"));
show('group_concat', pg_query($link, 'SELECT GROUP_CONCAT(name), GROUP_CONCAT(score) FROM users WHERE id = 2'));
show('group_concat distinct sorted', pg_query($link, "SELECT GROUP_CONCAT(DISTINCT score ORDER BY score DESC SEPARATOR '/'), GROUP_CONCAT(DISTINCT name ORDER BY name), IFNULL(GROUP_CONCAT(DISTINCT score ORDER BY score), 'none') FROM users GROUP BY id = 1 ORDER BY id = 1"));
show('date parts', pg_query($link, 'SELECT YEAR(created), MONTH(created), DAYOFMONTH(created), HOUR(created) FROM users WHERE id = 1'));
show('sha1', pg_query($link, "SELECT SHA1('abc')"));
show('cast', pg_query($link, "SELECT CAST(id + 9 AS CHAR), CAST(name AS CHAR(5)), CAST(2.6 AS DECIMAL), CAST('2024-01-02 03:04:05.6' AS DATETIME) FROM users WHERE id = 1"));
show('password', pg_query($link, "SELECT PASSWORD('secret'), PASSWORD(''), PASSWORD(NULL) IS NULL"));
show('renames', pg_query($link, "SELECT UCASE('ab'), LCASE('AB'), INSTR('abc', 'c'), TRUNCATE(2.789, 1)"));
show('text functions of numbers', pg_query($link, "SELECT LPAD(id, 3, '0'), LEFT(score, 1), LENGTH(id), LEFT(id + 1, 1), LPAD(-id * 2, 4, '0') FROM users WHERE id = 2"));
show('sprintf', pg_query($link, sprintf("SELECT name FROM `users` WHERE id = %d LIMIT 0, 1", $id)));
$day = '2024-03-05';
show('date_format', pg_query($link, "SELECT DATE_FORMAT(created, '%Y-%m-%d %H:%i:%s'), DATE_FORMAT(created, '%e %M %Y, %W %l%p'), DATE_FORMAT(created, '%d/%c/%y %k %h %I %j %a %b %T %r %S 100%% %Hh') FROM users WHERE id = 1"));
show('date_format pm', pg_query($link, "SELECT DATE_FORMAT(created, '%h:%i %p %k'), DATE_FORMAT('$day', '%W %e.%c.') FROM users WHERE id = $id"));
show('date_format iso week', pg_query($link, "SELECT DATE_FORMAT(created, '%x-%v %D %f'), DATE_FORMAT('2021-01-01', '%x-%v'), DATE_FORMAT('2024-03-11 10:00:00.25', '%D %f'), DATE_FORMAT('2024-03-23', '%D') FROM users WHERE id = 3"));
show('concat', pg_query($link, "SELECT CONCAT(name, ':', score), CONCAT(name, '#', id, ' ', 1.50), CONCAT_WS('-', name, score) FROM users WHERE id = 1"));
show('date functions', pg_query($link, "SELECT DAYOFWEEK(created), WEEKDAY(created), DAYOFYEAR(created), SECOND(created), TO_DAYS(created), DATEDIFF(created, '2023-12-25 23:00:00'), DAYOFWEEK('$day') FROM users WHERE id = 3"));
$now = pg_fetch_result(pg_query($link, 'SELECT CURTIME()'), 0, 0);
echo 'curtime: ', preg_match('/^\d\d:\d\d:\d\d$/', $now) ? 'HH:MM:SS' : $now, "\n";
$sql = <<<SQL
    SELECT `name`
      FROM `users`
     ORDER BY `created` DESC
     LIMIT 2, 1
    SQL;
show('heredoc', pg_query($link, $sql));
pg_query($link, 'UPDATE users SET score = 0 WHERE score IS NULL LIMIT 1');
show('update limit', pg_query($link, 'SELECT count(*) FROM users WHERE score = 0'));
pg_query($link, 'DELETE FROM log ORDER BY id LIMIT 2');
show('delete limit', pg_query($link, 'SELECT min(id), count(*) FROM log'));
pg_query($link, "INSERT INTO users VALUES (NULL, 'dee', 4, '2024-03-01 00:00:00', 1)");
show('last_insert_id', pg_query($link, 'SELECT LAST_INSERT_ID()'));
show('inserted', pg_query($link, 'SELECT name FROM users WHERE id = 4'));
pg_query($link, "INSERT INTO `users` SET `name` = '" . $who . "2', `order` = 5, score = $count");
show('uuid', pg_query($link, 'SELECT LENGTH(UUID())'));
// A counter row: inserted once, then updated on its unique name.
for ($i = 0; $i < 2; $i++) {
    pg_query($link, "INSERT INTO `counters` (`name`, `hits`) VALUES ('$who', 1) ON DUPLICATE KEY UPDATE `hits` = `hits` + VALUES(`hits`)");
}
pg_query($link, "INSERT IGNORE INTO counters (name, hits) VALUES ('$who', 9), ('new', 9)");
show('duplicate key', pg_query($link, 'SELECT name, hits FROM counters ORDER BY name'));
// REPLACE writes a new row: the hits it leaves out go back to their default.
pg_query($link, "REPLACE INTO `counters` (`name`) VALUES ('$who')");
pg_query($link, "REPLACE counters (name, hits) VALUES ('new', 5)");
show('replace', pg_query($link, 'SELECT name, hits FROM counters ORDER BY name'));
// Zero dates: "not deleted" is the zero date, and so is a missing date.
show('zero date', pg_query($link, "SELECT id FROM posts WHERE deleted = '0000-00-00 00:00:00' ORDER BY id"));
show('not zero date', pg_query($link, "SELECT id FROM posts WHERE deleted <> '0000-00-00 00:00:00'"));
show('after zero date', pg_query($link, "SELECT id FROM posts WHERE published > '0000-00-00'"));
show('deleted', pg_query($link, "SELECT id FROM posts WHERE deleted > '0000-00-00 00:00:00' OR '0000-00-00' >= published ORDER BY id"));
show('zero date not null', pg_query($link, "SELECT id FROM posts WHERE published = '0000-00-00' ORDER BY id"));
pg_query($link, "UPDATE posts SET deleted = '0000-00-00 00:00:00' WHERE id = $count");
pg_query($link, "INSERT INTO posts (id, deleted, published) VALUES (4, '0000-00-00 00:00:00', '0000-00-00')");
show('zero dates written', pg_query($link, "SELECT (SELECT count(*) FROM posts WHERE deleted = '0000-00-00 00:00:00'), (SELECT count(*) FROM posts WHERE published = '0000-00-00')"));
show('insert set', pg_query($link, "SELECT name, `order`, score FROM users WHERE id = 5"));
show('integer division', pg_query($link, 'SELECT score / 2, 7 / 0, (SELECT COUNT(*) / 2 FROM users) FROM users WHERE id = 2'));
show('average', pg_query($link, 'SELECT AVG(`order`) FROM users WHERE id <= 3'));
show('ungrouped column', pg_query($link, 'SELECT name, score, COUNT(*) FROM users WHERE id <= 3 GROUP BY score ORDER BY score'));

// PHP values quoted for number columns: MySQL stored 0 for '' and 'abc' and
// the number a text starts with, where PostgreSQL refuses the statement.
// The values come at run time, as a form's would.
$form = array('empty' => '', 'word' => 'abc', 'twelve' => '12', 'three' => '3', 'rate' => '2.5x');
$empty = $form['empty'];
$word = $form['word'];
$twelve = $form['twelve'];
$three = $form['three'];
$row = $form;
pg_query($link, "INSERT INTO scores (points, rate) VALUES ('$empty', '{$row['rate']}')");
pg_query($link, "INSERT INTO scores (points) VALUES ('" . $word . "')");
pg_query($link, sprintf("INSERT INTO scores (points) VALUES ('%s')", $twelve));
pg_query($link, "INSERT INTO scores VALUES (NULL, '$twelve', '$word')");
pg_query($link, "UPDATE scores SET points = '$word' WHERE id = '$three'");
show('quoted numbers', pg_query($link, 'SELECT id, points, rate FROM scores ORDER BY id'));
show('compared with a quoted number', pg_query($link, "SELECT count(*) FROM scores WHERE points = '$empty'"));
// What a legacy application's pages sent. user is a name to MySQL,
// PostgreSQL reserves it.
pg_query($link, "UPDATE user SET login = 'admin' WHERE id = 1");
show('reserved name', pg_query($link, 'SELECT user.login FROM user'));
show('group_concat clauses', pg_query($link, "SELECT GROUP_CONCAT(name ORDER BY name DESC SEPARATOR '; ') FROM users WHERE id <= 3"));
show('from_unixtime format', pg_query($link, "SELECT FROM_UNIXTIME(1704164645, '%d.%m.%Y %H:%i')"));
// HAVING names an output column; without GROUP BY it filters rows.
show('having output column', pg_query($link, 'SELECT LEFT(name, 1) AS initial, COUNT(*) AS n FROM users GROUP BY LEFT(name, 1) HAVING n > 1'));
show('having without group', pg_query($link, 'SELECT name, score * 2 AS twice FROM users WHERE id > 1 HAVING twice > 4 ORDER BY id'));
// MySQL 5 returned the groups sorted, NULL below every value.
show('groups in order', pg_query($link, 'SELECT `order`, COUNT(*) FROM users GROUP BY `order`'));
show('nulls first', pg_query($link, 'SELECT name FROM users ORDER BY created LIMIT 2'));
show('nulls last', pg_query($link, 'SELECT name FROM users ORDER BY created DESC LIMIT 2'));
show('sum division', pg_query($link, 'SELECT SUM(score) / 2 FROM users'));
show('field', pg_query($link, "SELECT name FROM users WHERE id <= 3 ORDER BY FIELD(name, 'cy', 'ann', 'bob')"));
show('select hint', pg_query($link, 'SELECT SQL_CALC_FOUND_ROWS name FROM users ORDER BY id LIMIT 1'));
show('if of a flag', pg_query($link, "SELECT IF(points, 'set', 'unset') FROM scores ORDER BY id"));
pg_query($link, "INSERT INTO log (id, msg) VALUES (9, '" . addslashes("It's \"quoted\" \\ here") . "')");
show('addslashes', pg_query($link, 'SELECT msg FROM log WHERE id = 9'));
$row = pg_fetch_assoc(pg_query($link, 'SELECT COUNT(*) AS Total, name AS Name FROM users WHERE id = 1 GROUP BY name'));
echo 'output names: ', http_build_query($row, '', '|'), "\n";
pg_query($link, "INSERT INTO users VALUES ('', 'eve', 6, NULL, 3), (0, 'fay', 7, NULL, 3)");
show('new ids for empty and 0', pg_query($link, "SELECT id FROM users WHERE name IN ('eve', 'fay') ORDER BY id"));
// A DATETIME is read in the session's time zone, by MySQL as by PostgreSQL.
pg_query($link, "SET TIME ZONE 'Europe/Berlin'");
show('unix_timestamp in another zone', pg_query($link, 'SELECT UNIX_TIMESTAMP(FROM_UNIXTIME(1704164645))'));
show('date parts of strings', pg_query($link, "SELECT YEAR('2024-01-02 03:04:05'), HOUR('10:30:00')"));
// Multi-table UPDATE and DELETE. Member 4's team does not exist.
$skip = 'blue';
$factor = 1;
pg_query($link, "UPDATE members m JOIN teams t ON t.id = m.team_id SET m.points = m.points + t.bonus * $factor WHERE t.name <> '$skip'");
pg_query($link, 'UPDATE members, teams SET members.points = members.points * 2 WHERE teams.id = members.team_id AND teams.bonus > 15');
pg_query($link, "DELETE m FROM members m INNER JOIN teams t ON t.id = m.team_id WHERE t.name = 'gone'");
pg_query($link, 'DELETE members FROM members, teams WHERE teams.id = members.team_id AND teams.bonus = 20');
show('multi-table update and delete', pg_query($link, 'SELECT id, points FROM members ORDER BY id'));
// One table's SET names its columns by the table or its alias.
pg_query($link, 'UPDATE teams t SET t.bonus = t.bonus + 5 WHERE t.id = 1');
pg_query($link, "UPDATE teams SET teams.name = 'green' WHERE id = 3");
show('qualified set', pg_query($link, 'SELECT name, bonus FROM teams ORDER BY id'));
// A PHP value's stand-in is chosen after MySQL's hint is taken away.
$sort = 'name';
$dir = 'DESC';
show('hint before values in a row', pg_query($link, "SELECT SQL_CALC_FOUND_ROWS u.name FROM users u WHERE id <= 3 ORDER BY $sort $dir LIMIT $start, $count"));
// A comparison is the number 1 or 0 on MySQL, and a number is a condition.
show('comparisons as numbers', pg_query($link, "SELECT name, bonus > 10 AS big, name LIKE 'g%', bonus IN (0, 20) FROM teams ORDER BY id"));
pg_query($link, 'UPDATE teams SET bonus = NOT bonus WHERE id <> 2');
show('numbers as conditions', pg_query($link, "SELECT name, CASE WHEN bonus THEN 'on' ELSE 'off' END FROM teams WHERE NOT bonus OR id = 3 OR 0 ORDER BY id"));
// The rows an outer join keeps whole have their zero dates.
pg_query($link, "UPDATE posts SET deleted = '2024-05-05 00:00:00' WHERE id = 3");
show('zero date beside an outer join', pg_query($link, "SELECT p.id, IF(p.deleted = '0000-00-00 00:00:00', 'live', 'gone') FROM posts p LEFT JOIN users u ON u.id = p.id ORDER BY p.id"));
// MySQL sorted an ENUM by the order of its values.
show('enum order', pg_query($link, 'SELECT id FROM tickets ORDER BY status, id'));
show('enum groups', pg_query($link, 'SELECT status, COUNT(*) FROM tickets GROUP BY status'));
show('enum arithmetic', pg_query($link, 'SELECT id, status + 0 FROM tickets WHERE status + 0 > 1 ORDER BY id'));
// A PHP value that is a number for certain, where a condition stands.
$admin = true;
show('php number as condition', pg_query($link, "SELECT name FROM teams WHERE id = 1 OR " . ($admin ? 1 : 0) . " ORDER BY id"));
// TIMESTAMPDIFF counts whole units, toward zero.
show('timestampdiff', pg_query($link, "SELECT TIMESTAMPDIFF(DAY, '2010-03-01 10:00:00', '2010-03-05'), TIMESTAMPDIFF(HOUR, '2010-03-05 00:00:00', '2010-03-01 09:30:00'), TIMESTAMPDIFF(SECOND, '2024-01-01 00:00:00', '2024-01-01 00:01:05'), TIMESTAMPDIFF(WEEK, '2024-01-01', '2024-01-20')"));
show('timestampdiff of a column', pg_query($link, "SELECT TIMESTAMPDIFF(MINUTE, created, '2024-01-02 04:00:00') FROM users WHERE id = 1"));
// SUM() of a comparison counts the rows where it holds.
show('aggregates of comparisons', pg_query($link, 'SELECT SUM(bonus > 0), AVG(id = 1), MAX(name LIKE "g%") FROM teams'));
// IF() of a text and a number gives a text.
show('if of a text and a number', pg_query($link, "SELECT IF(id = 2, 'two', 0) FROM teams ORDER BY id"));
show('day and month names', pg_query($link, "SELECT DAYNAME(created), MONTHNAME(created), DAYNAME('2024-03-05') FROM users WHERE id = 1"));
// LIKE matched a date's text; '' was the zero date.
pg_query($link, "UPDATE posts SET deleted = '' WHERE id = 3");
show('date patterns and empty dates', pg_query($link, "SELECT COUNT(*) FROM posts WHERE deleted = '' UNION ALL SELECT id FROM posts WHERE published LIKE '2024-01-%'"));
// ORDER BY a column neither grouped nor selected sorts by one of its values.
show('ungrouped order', pg_query($link, 'SELECT team_id, COUNT(*) FROM members GROUP BY team_id ORDER BY points DESC'));
// A value escaped into a variable, quoted later: MySQL stored O'Hara.
$surname = addslashes("O'Hara");
pg_query($link, "INSERT INTO log (id, msg) VALUES (10, '$surname')");
show('addslashes through a variable', pg_query($link, 'SELECT msg FROM log WHERE id = 10'));
// Member 4's team does not exist: its points go back to 0.
pg_query($link, 'UPDATE members m LEFT JOIN teams t ON t.id = m.team_id SET m.points = 0 WHERE t.id IS NULL');
show('update with an outer join', pg_query($link, 'SELECT id, points FROM members ORDER BY id'));
// The teams no member is in: 2 and 3 (member 4's team 9 does not exist).
pg_query($link, 'DELETE t FROM teams t LEFT JOIN members m ON m.team_id = t.id WHERE m.id IS NULL');
show('delete with an outer join', pg_query($link, 'SELECT id FROM teams ORDER BY id'));
// BINARY compares byte for byte, where the column compares without case.
show('binary', pg_query($link, "SELECT (SELECT count(*) FROM logins WHERE name = 'ANN'), (SELECT count(*) FROM logins WHERE name = BINARY 'ANN'), (SELECT count(*) FROM logins WHERE BINARY name = 'ann'), (SELECT count(*) FROM logins WHERE CAST(name AS BINARY) = 'Ann')"));
// MySQL's offset from UTC: FROM_UNIXTIME(0) is two hours past midnight.
pg_query($link, "SET time_zone = '+02:00'");
show('time zone offset', pg_query($link, 'SELECT FROM_UNIXTIME(0)'));
