-- The ON UPDATE CURRENT_TIMESTAMP trigger sets the column when a row changes.
UPDATE "order" SET total = 21.00 WHERE id = 1;
SELECT id, updated > '2023-01-07 08:00:00' AS touched FROM "order" WHERE id IN (1, 3) ORDER BY id;
-- An UPDATE that sets the column itself keeps its value.
UPDATE "order" SET total = 1, updated = '2020-01-01 00:00:00' WHERE id = 3;
SELECT updated FROM "order" WHERE id = 3;
-- New rows continue after the ids of the dump and the AUTO_INCREMENT option.
INSERT INTO "order" (customer_id, placed_at) VALUES (2, '2024-01-01') RETURNING id;
INSERT INTO "user" (email) VALUES ('new@example.com') RETURNING id;
