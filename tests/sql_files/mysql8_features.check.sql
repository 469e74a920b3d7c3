SELECT * FROM item_summary ORDER BY name;
-- A row that takes the defaults: a new UUID, today's date, the next id.
INSERT INTO items (name, price) VALUES ('Later', 1) RETURNING id, length(uuid), added = CURRENT_DATE, label;
