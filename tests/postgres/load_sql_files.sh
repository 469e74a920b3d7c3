#!/usr/bin/env bash
# Converts every MySQL .sql fixture in tests/sql_files with
# corvexa-sql-convert, loads each result with `psql -v ON_ERROR_STOP=1` into
# an empty database of a throwaway PostgreSQL server, and compares what the
# database then holds (tables, column types, defaults, identity columns,
# constraints, indexes, comments, sequences and every row, plus the queries
# of NAME.check.sql) with NAME.expected.
#
# The server is Debian's pg_virtualenv (package postgresql-common); it runs
# check_loaded_sql.sh with PGHOST, PGPORT, PGUSER and PGPASSWORD set.
#
# Usage: load_sql_files.sh <corvexa-sql-convert binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (psql, pg_virtualenv or the
# server missing). When the environment variable CI is "true", a missing
# tool is a failure instead of a skip.
set -euo pipefail
readonly script=load_sql_files
source "$(dirname "$0")/tools.sh"

need_arguments 2 "<corvexa-sql-convert binary> <source tree>" "$@"
converter=$1
fixtures=$2/tests/sql_files
need_program "$converter" "converter"
compgen -G "$fixtures/*.sql" >/dev/null || fail "no fixtures in $fixtures"
require_postgres
make_work_folder corvexa-sql-load

for input in "$fixtures"/*.sql; do
  name=$(basename "$input" .sql)
  [[ $name == *.check ]] && continue
  if ! timeout "$step_timeout" "$converter" "$input" "$work/$name.sql" >"$work/$name.findings" 2>&1; then
    cat "$work/$name.findings"
    fail "the converter failed on $input"
  fi
done

# pg_virtualenv needs to run as a user the server accepts; as root it runs
# the cluster as postgres, which must be able to read the work folder.
chmod -R a+rX "$work"
status=0
on_throwaway_server "$server_timeout" \
  bash "$here/check_loaded_sql.sh" "$work" "$fixtures" || status=$?
[[ $status -eq 0 ]] || fail "the converted files did not load or hold something else (status $status)"
say "PASS"
