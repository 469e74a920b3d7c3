#!/usr/bin/env bash
# Runs under pg_virtualenv (PGHOST, PGPORT, PGUSER and PGPASSWORD set for a
# fresh cluster): loads the schema, runs the queries as written (they must
# fail) and as rewritten (they must print the expected output, with no
# warning). Called by run_sql_rewrites.sh.
#
# Usage: run_rewritten_queries.sh <sql_rewrites folder> <work folder with rewritten.php>
set -euo pipefail

readonly step_timeout=60
cases=$1
work=$2
: "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"
export PGDATABASE=postgres

timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -f "$cases/schema.sql"

run_php() {
  timeout "$step_timeout" php -d display_errors=stderr -d log_errors=0 -d html_errors=0 \
    -d error_reporting=-1 "$1"
}

if run_php "$cases/queries.php" >"$work/original.out" 2>"$work/original.err" &&
   ! grep -q 'pg_query' "$work/original.err"; then
  echo "the queries as written for MySQL ran on PostgreSQL: the test proves nothing"
  exit 1
fi
echo "as written for MySQL: $(grep -c 'pg_query' "$work/original.err" || true) queries fail on PostgreSQL"

# The rewritten queries change the tables: start again from the schema.
timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 \
  -c 'DROP TABLE users, "user", sessions, log, scores, counters, posts, teams, members, logins, tickets' -f "$cases/schema.sql"
status=0
run_php "$work/rewritten.php" >"$work/rewritten.out" 2>"$work/rewritten.err" || status=$?
if [[ $status -ne 0 ]] || [[ -s "$work/rewritten.err" ]]; then
  cat "$work/rewritten.out" "$work/rewritten.err"
  echo "the rewritten queries failed (status $status)"
  exit 1
fi
diff -u "$cases/expected.txt" "$work/rewritten.out"
echo "the rewritten queries print what MySQL printed"
