-- The default collation ignores case for =, LIKE, IN and ORDER BY.
SELECT name FROM members WHERE name = 'bob';
SELECT name FROM members WHERE name LIKE 'B%' OR nick LIKE 'BOB%';
SELECT name FROM members WHERE name IN ('ANN', 'BOB') ORDER BY name;
SELECT count(*) FROM members WHERE code = 'ab' AND bio = 'likes tea';
-- A unique key refuses a value that differs only in case.
DO $$ BEGIN
  INSERT INTO members (name, token) VALUES ('BOB', 'other');
  RAISE EXCEPTION 'the unique key let BOB in after Bob';
EXCEPTION WHEN unique_violation THEN RAISE NOTICE 'unique refused'; END $$;
DO $$ BEGIN
  INSERT INTO members (name, token, bio) VALUES ('Carl', 'carl', 'LIKES TEA too');
  RAISE EXCEPTION 'the unique prefix let LIKES TE in after Likes Te';
EXCEPTION WHEN unique_violation THEN RAISE NOTICE 'unique prefix refused'; END $$;
-- The length limit stays: 40 characters fit, 41 do not.
INSERT INTO members (name, token) VALUES (repeat('é', 40), 'forty') RETURNING char_length(name);
DO $$ BEGIN
  INSERT INTO members (name, token) VALUES (repeat('x', 41), 'long');
  RAISE EXCEPTION 'the CHECK let 41 characters in';
EXCEPTION WHEN check_violation THEN RAISE NOTICE 'length refused'; END $$;
DO $$ BEGIN
  UPDATE members SET code = 'abcdefg' WHERE name = 'bob';
  RAISE EXCEPTION 'the CHECK let 7 characters in';
EXCEPTION WHEN check_violation THEN RAISE NOTICE 'modified length refused'; END $$;
-- Binary and case-sensitive collations compare exactly.
SELECT count(*) FROM members WHERE token = 'TOK';
INSERT INTO members (name, token) VALUES ('Zed', 'TOK') RETURNING token;
SELECT count(*) FROM secrets WHERE k = 'key' OR hint = 'hint';
SELECT count(*) FROM secrets WHERE label = 'label' AND note = 'NOTE';
-- The foreign key column took citext: 'bob' references Bob.
SELECT n.member, m.name FROM notes n JOIN members m ON m.name = n.member;
