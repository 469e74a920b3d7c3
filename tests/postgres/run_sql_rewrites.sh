#!/usr/bin/env bash
# Proof of the SQL checks' rewrites on a real server: rewrites the MySQL
# queries of sql_rewrites/queries.php with sql_rewrite_tool, runs the result
# with PHP against a throwaway PostgreSQL cluster (pg_virtualenv) holding
# sql_rewrites/schema.sql (the PostgreSQL form of sql_rewrites/mysql_schema.sql,
# which the tool holds the queries against), and compares what it prints with what the queries
# printed on MySQL (sql_rewrites/expected.txt). The file as written must
# fail there: that shows the rewrites are what make it run.
#
# Usage: run_sql_rewrites.sh <sql_rewrite_tool binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing). When the environment variable CI is
# "true", a missing tool is a failure instead of a skip.
set -euo pipefail
readonly script=run_sql_rewrites
source "$(dirname "$0")/tools.sh"

need_arguments 2 "<sql_rewrite_tool binary> <source tree>" "$@"
tool=$1
cases=$2/tests/postgres/sql_rewrites
need_program "$tool" "sql_rewrite_tool"
require_php_and_postgres
make_work_folder corvexa-sql

timeout "$step_timeout" "$tool" --schema "$cases/mysql_schema.sql" "$cases/queries.php" \
  "$work/rewritten.php" \
  >"$work/tool.txt" || { cat "$work/tool.txt"; fail "sql_rewrite_tool failed"; }
cat "$work/tool.txt"
if grep -q '^finding' "$work/tool.txt"; then
  fail "queries.php has queries that were not rewritten"
fi
grep -qx 'extension: pgcrypto' "$work/tool.txt" || fail "the SHA1 rewrite did not ask for pgcrypto"

status=0
on_throwaway_server "$server_timeout" \
  bash "$here/run_rewritten_queries.sh" "$cases" "$work" >"$work/server.log" 2>&1 || status=$?
cat "$work/server.log"
[[ $status -eq 0 ]] || fail "the rewritten queries did not run as expected on PostgreSQL (status $status)"
say "PASS: the rewritten queries run on PostgreSQL and print what MySQL printed"
