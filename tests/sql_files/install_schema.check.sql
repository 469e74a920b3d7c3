-- Identity columns continue after explicit ids.
INSERT INTO tt_tickets (project_id, "user", summary) VALUES (1, 'eve', 'next') RETURNING ticket_id;
INSERT INTO tt_projects (code, title) VALUES ('NEW', 'next') RETURNING id;
-- The enum CHECK refuses a value MySQL would refuse.
DO $$ BEGIN
  INSERT INTO tt_tickets (project_id, "user", summary, priority) VALUES (1, 'x', 'y', 'huge');
  RAISE EXCEPTION 'the CHECK let an unknown value in';
EXCEPTION WHEN check_violation THEN RAISE NOTICE 'refused'; END $$;
SELECT count(*) FROM tt_tickets WHERE to_tsvector('simple', coalesce(summary::text, '') || ' ' || coalesce(details::text, '')) @@ plainto_tsquery('simple', 'footer');
