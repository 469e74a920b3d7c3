#!/usr/bin/env bash
# End-to-end check of a conversion: converts the guestbook application in
# examples/legacy-app with corvexa, runs the result with the PHP command-line
# interpreter against a throwaway PostgreSQL server, and compares what it
# prints with examples/legacy-app/expected-output.txt.  It also runs the
# unconverted application, which must fail on a PHP without the MySQL
# extension: that shows the conversion is what makes the application work.
#
# The server is Debian's pg_virtualenv (package postgresql-common): it
# creates a cluster in a temporary folder, runs run_converted_app.sh with
# PGHOST, PGPORT, PGUSER and PGPASSWORD set for it, then drops the cluster,
# also after a failure or a signal.
#
# Usage: run_legacy_app.sh <corvexa binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing).  When the environment variable CI is
# "true", a missing tool is a failure instead of a skip.
set -euo pipefail

readonly app_files=(config.php index.php listing.php)
readonly db_name=guestbook        # the -d of the conversion, as in config.php

readonly script=run_legacy_app
source "$(dirname "$0")/tools.sh"

need_arguments 2 "<corvexa binary> <source tree>" "$@"
corvexa=$1
app_source=$2/examples/legacy-app
need_program "$corvexa" "corvexa binary"
[[ -f "$app_source/expected-output.txt" ]] || fail "no application in $app_source"

# --- Tools ------------------------------------------------------------------

require_php_and_postgres
make_work_folder corvexa-e2e

# --- Conversion -------------------------------------------------------------

mkdir "$work/converted" "$work/original"
for file in "${app_files[@]}"; do
  cp "$app_source/$file" "$work/original/$file"
  console=$work/corvexa-$file.txt
  if ! timeout "$step_timeout" "$corvexa" -d "$db_name" \
      "$work/original/$file" "$work/converted/$file" >"$console" 2>&1; then
    show "corvexa output for $file" "$console"
    fail "corvexa did not convert $file"
  fi
  grep -qx 'Done.' "$console" || { show "corvexa output" "$console"; fail "no Done. for $file"; }
  if grep -q '^Parse Error' "$console"; then
    show "corvexa output" "$console"
    fail "corvexa reported a parse error in $file"
  fi
done
grep -qxF 'guestbook == guestbook ..  This is a good thing.' "$work/corvexa-index.php.txt" ||
  fail "corvexa gave no database advice for the mysql_select_db() call of index.php"
# Call names in comments and strings are text, not calls.
grep -qF ' * Connects with mysql_connect(), creates the entries table, fills it with a' \
  "$work/converted/index.php" || fail "a comment of index.php was changed"
grep -qF "<p>This page was written for mysql_query() and mysql_fetch_array().</p>" \
  "$work/converted/index.php" || fail "HTML text of index.php was changed"
grep -qF "array(4, 'Jonas', 'Who still calls mysql_fetch_row()?')," \
  "$work/converted/index.php" || fail "a string of index.php was changed"

# --- The unconverted application must not run -------------------------------

unconverted_status=0
(cd "$work/original" && timeout "$step_timeout" php "${php_flags[@]}" index.php) \
  >"$work/unconverted.out" 2>"$work/unconverted.err" || unconverted_status=$?
if [[ $unconverted_status -eq 0 ]]; then
  fail "the unconverted application ran: this PHP has a MySQL extension, so the test proves nothing"
fi
grep -q 'Call to undefined function mysql_connect()' "$work/unconverted.err" || {
  show "unconverted application errors" "$work/unconverted.err"
  fail "the unconverted application failed for another reason than the missing mysql_connect()"
}
say "unconverted application fails as it should: Call to undefined function mysql_connect()"

# --- The converted application on a throwaway server -------------------------

server_step "$server_timeout" "the converted application did not run as expected on PostgreSQL" \
  bash "$here/run_converted_app.sh" "$work/converted" "$app_source/expected-output.txt"
say "PASS: the converted application runs on PostgreSQL and prints the expected output"
