<?php
pg_query("INSERT INTO `counters` SET `name` = '$n', hits = " . $h);
pg_query("INSERT INTO counters SET name = '$n', hits = $h");
pg_query("INSERT IGNORE INTO `t` (a) VALUES ('$a');");
pg_query("INSERT INTO counters (name, hits) VALUES ('" . $n . "', 1) ON DUPLICATE KEY UPDATE `hits` = `hits` + VALUES(`hits`), name = CONCAT(name, '!')");
pg_query("INSERT INTO $table SET $col = 1 ON DUPLICATE KEY UPDATE a = VALUES(");
