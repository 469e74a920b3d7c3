#!/usr/bin/env bash
# corvexa-tree --against on a throwaway PostgreSQL cluster (pg_virtualenv):
# the database prepares every query text, and its refusals of names and
# types are sql-schema findings at the line and column of the PHP source
# where the database places them (after rewritten backquotes, a PHP value
# and multibyte characters too); texts whose PHP values stand
# for names, and values quoted for number columns, give none; the database
# keeps nothing. A database that cannot be reached ends the run with exit
# status 1 before anything is written.
#
# Usage: run_against.sh <corvexa-tree binary>
#
# Exit status: 0 passed, 1 failed, 77 skipped (no PostgreSQL server). When
# the environment variable CI is "true", a missing tool is a failure.
set -euo pipefail
readonly script=run_against
source "$(dirname "$0")/tools.sh"

# On the server: the table, the run, what it found, what the database kept.
if [[ ${1:-} == --on-server ]]; then
  tree=$2
  work=$3
  export PGDATABASE=postgres
  timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 \
    -c 'CREATE TABLE users (id integer, name text, flag boolean)'
  timeout "$step_timeout" "$tree" --no-progress --report json --against "dbname=postgres" \
    "$work/src" "$work/out" >"$work/report.json"
  grep -o '"rule":"sql-schema"[^}]*}' "$work/report.json" >"$work/findings.txt" || true
  cat "$work/findings.txt"
  [[ $(wc -l <"$work/findings.txt") -eq 3 ]] || { echo "not three findings"; exit 1; }
  # The columns of the source count bytes: the function's name, the
  # operator, the missing column.
  grep -q 'function nonesuch(integer) does not exist.*"source":{"line":3,"column":26}' \
    "$work/findings.txt" || { echo "the missing function was not found at its name"; exit 1; }
  grep -q 'operator does not exist: boolean = integer.*"source":{"line":4,"column":50}' \
    "$work/findings.txt" || { echo "the mismatched type was not found at its operator"; exit 1; }
  grep -q 'column \\"missing\\" does not exist.*"source":{"line":8,"column":88}' \
    "$work/findings.txt" || { echo "the missing column was not found at its name"; exit 1; }
  kept=$(timeout "$step_timeout" psql -X -At -c 'SELECT count(*) FROM users')
  [[ $kept == 0 ]] || { echo "the database kept rows: $kept"; exit 1; }
  exit 0
fi

need_arguments 1 "<corvexa-tree binary>" "$@"
tree=$1
need_program "$tree" "corvexa-tree"
require_postgres
make_work_folder corvexa-against
mkdir -p "$work/src"
cat >"$work/src/page.php" <<'PHP'
<?php
$r = mysql_query("SELECT id, name FROM users WHERE id = $id");
$r = mysql_query("SELECT nonesuch(id) FROM users WHERE name = '$n'");
$r = mysql_query("SELECT * FROM users WHERE flag = 1 AND name LIKE '%$q%'");
$r = mysql_query("SELECT $columns FROM $table WHERE $condition");
$r = mysql_query("UPDATE users SET name = '$n' WHERE id = '$id'");
$r = mysql_query("INSERT INTO users (id, name) VALUES ($id, '$n')");
$r = mysql_query("SELECT `name`, 'ü — ö' AS ä FROM users WHERE name = '$name' AND missing = 1");
PHP

status=0
timeout "$step_timeout" "$tree" --no-progress --against "host=127.0.0.1 port=1 connect_timeout=5" \
  "$work/src" "$work/unreachable" 2>"$work/unreachable.err" || status=$?
cat "$work/unreachable.err"
[[ $status -eq 1 ]] || fail "an unreachable database gave exit status $status, not 1"
grep -q 'cannot connect to the --against database' "$work/unreachable.err" ||
  fail "an unreachable database was not named"
[[ ! -e "$work/unreachable" ]] || fail "the output tree was made though the database was not reached"

status=0
on_throwaway_server "$server_timeout" bash "$0" --on-server "$tree" "$work" >"$work/server.log" 2>&1 ||
  status=$?
cat "$work/server.log"
[[ $status -eq 0 ]] || fail "the findings of --against were not the expected ones (status $status)"
say "PASS: the database's refusals are findings where it places them, and nothing is kept"
