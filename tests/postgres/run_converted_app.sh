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

# PHP 8.1 and later deprecate pg_query() without a connection, which is what
# mysql_query() without a link becomes: that notice is expected, any other
# message is a failure.
readonly expected_notice='^Deprecated: pg_query(): Automatic fetching of PostgreSQL connection is deprecated in '

need_arguments 2 "<converted folder> <expected output>" "$@"
converted=$1
expected=$2

# The database, user and password of examples/legacy-app/config.php.
make_role_and_database guestbook letmein
run_converted_script_and_compare "$converted" index.php "$expected" \
  "the converted application" "$expected_notice"
