-- Identity columns continue after the copied and the explicit ids.
INSERT INTO gb_entries (name, message) VALUES ('Eve', 'next') RETURNING id;
INSERT INTO album_stats (photo) VALUES (4) RETURNING seq;
-- The renamed table's key and length check follow its ALTER: (id, views),
-- and 120 characters.
INSERT INTO gb_entries_old (id, views, name, message) VALUES (1, 5, repeat('x', 120), 'same id') RETURNING id, length(name);
-- An update sets changed, which keeps ON UPDATE, and not created
-- (touched, which CHANGE took it from).
UPDATE album_stats SET created = '2001-01-01', changed = '2001-01-01' WHERE seq = 5;
UPDATE album_stats SET score = score + 1 WHERE seq = 5 RETURNING photo, score, changed > '2001-01-01', created;
-- The old table keeps its ON UPDATE: posted (its first TIMESTAMP) moves.
UPDATE gb_entries_old SET views = 1 WHERE name = 'Bob' RETURNING posted > '2004-01-01', edited;
