#!/usr/bin/env bash
# Runs under pg_virtualenv, which has set PGHOST, PGPORT, PGUSER and
# PGPASSWORD for a fresh cluster: creates the role and database of
# examples/legacy-app/config.php, runs the converted index.php with PHP and
# compares what it prints with the expected output. Called by
# run_legacy_app.sh; exits 0 when the output matches.
#
# Usage: run_converted_app.sh <folder of converted files> <expected output>
set -euo pipefail
readonly script=run_converted_app
source "$(dirname "$0")/tools.sh"

readonly step_timeout=60
readonly db_name=guestbook        # the settings of examples/legacy-app/config.php
readonly db_user=guestbook
readonly db_pass=letmein

[[ $# -eq 2 ]] || { echo "usage: $0 <converted folder> <expected output>" >&2; exit 2; }
converted=$1
expected=$2
: "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"

timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -d postgres \
  -c "CREATE ROLE $db_user LOGIN PASSWORD '$db_pass'" \
  -c "CREATE DATABASE $db_name OWNER $db_user"

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
run_php_script "$converted" index.php "$out" "$err" || status=$?
if [[ $status -ne 0 ]]; then
  cat "$out" "$err"
  echo "the converted application exited with status $status"
  exit 1
fi
# PHP 8.1 and later deprecate pg_query() without a connection, which is what
# mysql_query() without a link becomes: that notice is expected, any other
# message is a failure.
if grep -v '^Deprecated: pg_query(): Automatic fetching of PostgreSQL connection is deprecated in ' \
     "$err" | grep -q -v '^$'; then
  cat "$err"
  echo "the converted application printed errors or warnings"
  exit 1
fi
if ! diff -u "$expected" "$out"; then
  echo "the converted application printed something else than $expected"
  exit 1
fi
