<?php
pg_query("SELECT CAST(id AS CHAR), CAST(name AS CHAR($n)), CAST('$v' AS SIGNED INTEGER), CAST(x AS DECIMAL) FROM t");
pg_query("SELECT * FROM posts WHERE deleted = '0000-00-00 00:00:00' AND '0000-00-00' < published");
pg_query("UPDATE posts SET deleted = '0000-00-00' WHERE id = " . $id);
pg_query("REPLACE INTO counters (name) VALUES ('$n')");
pg_query("SELECT PASSWORD('$p') = pass FROM users WHERE login = '" . $l . "'");
