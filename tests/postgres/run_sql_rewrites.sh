#!/usr/bin/env bash
# Proof of the SQL checks' rewrites on a real server: rewrites the MySQL
# queries of sql_rewrites/queries.php with sql_rewrite_tool, runs the result
# with PHP against a throwaway PostgreSQL cluster (pg_virtualenv) holding
# sql_rewrites/schema.sql, and compares what it prints with what the queries
# printed on MySQL (sql_rewrites/expected.txt). The file as written must
# fail there: that shows the rewrites are what make it run.
#
# Usage: run_sql_rewrites.sh <sql_rewrite_tool binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing). When the environment variable CI is
# "true", a missing tool is a failure instead of a skip.
set -euo pipefail

readonly skip_status=77
readonly step_timeout=60
readonly server_timeout=300

say() { printf 'run_sql_rewrites: %s\n' "$*"; }
fail() { say "FAIL: $*"; exit 1; }
skip() {
  if [[ "${CI:-}" == "true" ]]; then
    fail "$* (CI is true, so this is not skipped)"
  fi
  say "SKIP: $*"
  exit "$skip_status"
}

[[ $# -eq 2 ]] || { echo "usage: $0 <sql_rewrite_tool binary> <source tree>" >&2; exit 2; }
tool=$1
cases=$2/tests/postgres/sql_rewrites
here=$(cd "$(dirname "$0")" && pwd)
[[ -x "$tool" ]] || fail "sql_rewrite_tool not found: $tool"

command -v timeout >/dev/null || skip "timeout (coreutils) not found"
command -v php >/dev/null || skip "php (package php-cli) not found"
timeout "$step_timeout" php -r 'exit(function_exists("pg_connect") ? 0 : 1);' ||
  skip "PHP has no pgsql extension (package php-pgsql)"
command -v pg_virtualenv >/dev/null || skip "pg_virtualenv (package postgresql-common) not found"
compgen -G '/usr/lib/postgresql/*/bin/postgres' >/dev/null ||
  skip "no PostgreSQL server installed (package postgresql-15)"

work=$(mktemp -d "${TMPDIR:-/tmp}/corvexa-sql.XXXXXX")
trap 'rm -rf "$work"' EXIT

timeout "$step_timeout" "$tool" --auto-increment users.id "$cases/queries.php" "$work/rewritten.php" \
  >"$work/tool.txt" || { cat "$work/tool.txt"; fail "sql_rewrite_tool failed"; }
cat "$work/tool.txt"
if grep -q '^finding' "$work/tool.txt"; then
  fail "queries.php has queries that were not rewritten"
fi
grep -qx 'extension: pgcrypto' "$work/tool.txt" || fail "the SHA1 rewrite did not ask for pgcrypto"

status=0
timeout "$server_timeout" pg_virtualenv -t \
  bash "$here/run_rewritten_queries.sh" "$cases" "$work" >"$work/server.log" 2>&1 || status=$?
cat "$work/server.log"
[[ $status -eq 0 ]] || fail "the rewritten queries did not run as expected on PostgreSQL (status $status)"
say "PASS: the rewritten queries run on PostgreSQL and print what MySQL printed"
