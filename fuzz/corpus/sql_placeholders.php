<?php
$sql = "SELECT * FROM `users` WHERE id = $id";
$sql .= ' AND name = "' . pg_escape_string($n) . '"';
if ($order) { $sql2 = "SELECT 1"; pg_query($sql2); }
$r = @pg_query($GLOBALS['pg_last_link'], $sql . " LIMIT $a, $b");
pg_query_params($link, 'UPDATE users SET name = $1 WHERE id = $2 LIMIT 1', array($n, $id));
pg_prepare($link, 'q', sprintf("SELECT %s FROM t%d WHERE d > NOW() - INTERVAL %d DAY", $c, $i, $d));
$q = <<<SQL
  INSERT INTO users VALUES (NULL, '{$u['name']}', UNIX_TIMESTAMP())
  SQL;
pg_send_query($link, $q);
pg_query("SELECT IF(a, \"x\", 'y'), user, '0000-00-00' FROM `order` WHERE a REGEXP 'b'\0");
pg_query('SELECT \'unterminated);
