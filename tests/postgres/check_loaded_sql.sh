#!/usr/bin/env bash
# Runs under pg_virtualenv: loads each converted file of <work folder> into
# a database of its own and compares what the database holds with the
# fixture's NAME.expected. Called by load_sql_files.sh.
#
# Usage: check_loaded_sql.sh <work folder> <fixtures folder>
set -euo pipefail

readonly step_timeout=60
[[ $# -eq 2 ]] || { echo "usage: $0 <work folder> <fixtures folder>" >&2; exit 2; }
work=$1
fixtures=$2
: "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"

psql_to() { timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -d "$@"; }

# What a database holds, one line per fact, in a fixed order.
describe() {
  local db=$1
  psql_to "$db" -A -t -F ' | ' <<'SQL'
\echo == columns
SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod),
       CASE WHEN a.attnotnull THEN 'not null' ELSE 'null' END,
       CASE a.attidentity WHEN 'd' THEN 'identity' ELSE '' END,
       coalesce(pg_get_expr(d.adbin, d.adrelid), '')
FROM pg_attribute a
JOIN pg_class c ON c.oid = a.attrelid
LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum
WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'r'
  AND a.attnum > 0 AND NOT a.attisdropped
ORDER BY 1, a.attnum;
\echo == constraints
SELECT conrelid::regclass, conname, pg_get_constraintdef(oid)
FROM pg_constraint WHERE connamespace = 'public'::regnamespace ORDER BY 1, 2;
\echo == indexes
SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY 1;
\echo == comments
SELECT c.relname, coalesce(a.attname, ''), d.description
FROM pg_description d
JOIN pg_class c ON c.oid = d.objoid AND d.classoid = 'pg_class'::regclass
LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = d.objsubid AND d.objsubid > 0
WHERE c.relnamespace = 'public'::regnamespace ORDER BY 1, 2;
\echo == sequences
SELECT format('SELECT %L, last_value, is_called FROM %I', sequencename, sequencename)
FROM pg_sequences WHERE schemaname = 'public' ORDER BY sequencename
\gexec
\echo == triggers
SELECT tgrelid::regclass, tgname FROM pg_trigger WHERE NOT tgisinternal ORDER BY 1, 2;
\echo == rows
-- created and changed are filled with the time of the load.
SELECT format('SELECT %L, (to_jsonb(t) - ''created'' - ''changed'')::text FROM %I t ORDER BY 2',
              relname, relname)
FROM pg_class WHERE relnamespace = 'public'::regnamespace AND relkind = 'r' ORDER BY relname
\gexec
SQL
}

failed=0
for converted in "$work"/*.sql; do
  name=$(basename "$converted" .sql)
  db=$(printf '%s' "$name" | tr -c 'a-z0-9_' '_')
  psql_to postgres -c "CREATE DATABASE $db"
  actual=$work/$name.actual
  if ! psql_to "$db" -f "$converted" >"$work/$name.load" 2>&1; then
    cat "$work/$name.load"
    echo "check_loaded_sql: $name did not load"
    failed=1
    continue
  fi
  describe "$db" >"$actual"
  if [[ -f $fixtures/$name.check.sql ]]; then
    echo "== checks" >>"$actual"
    # From standard input, so that psql's messages name no folder.
    psql_to "$db" -A -t -F ' | ' <"$fixtures/$name.check.sql" >>"$actual" 2>&1 || failed=1
  fi
  if ! diff -u "$fixtures/$name.expected" "$actual"; then
    echo "check_loaded_sql: $name holds something else than $name.expected"
    failed=1
  fi
done
exit "$failed"
