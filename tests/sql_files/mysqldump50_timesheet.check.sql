-- The durations of balance, an interval now, add up as durations.
SELECT employee_id, sum(balance) FROM entry GROUP BY employee_id ORDER BY 1;
-- The unique login ignores case, as utf8_general_ci did; the ids go on.
INSERT INTO employee (login) VALUES ('Dora') ON CONFLICT DO NOTHING RETURNING id;
INSERT INTO employee (login) VALUES ('eve') RETURNING id, active, rights, daily;
