#!/usr/bin/env bash
# The port of a whole application, proven: converts examples/club (a
# multi-file application written for PHP's MySQL extension, with its MySQL
# schema and data dump) with corvexa-tree's default rules, loads the
# converted schema and data, serves the result with PHP's web server
# against a throwaway PostgreSQL (pg_virtualenv), and requests every page
# with curl (club/serve_pages.sh says what each must show). The
# unconverted application must fail on this PHP, which has no MySQL
# extension: that shows the port is what makes it run.
#
# Usage: run_club.sh <corvexa-tree binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension,
# curl or the PostgreSQL server is missing; a failure instead when CI is
# "true").
set -euo pipefail
readonly script=run_club
source "$(dirname "$0")/tools.sh"

need_arguments 2 "<corvexa-tree binary> <source tree>" "$@"
corvexa_tree=$1
app=$2/examples/club
need_program "$corvexa_tree" "corvexa-tree binary"
[[ -f "$app/index.php" ]] || fail "no application in $app"
require_php_and_postgres
command -v curl >/dev/null || skip "curl (package curl) not found"
make_work_folder corvexa-club

# With --check, corvexa-tree fails on any finding: the port needs no hand edit.
port_folder club "$app" "$work/converted" "$work/report.txt" --check

# The queries go through the application's own run_query(): their MySQL
# dialect must be gone all the same.
if grep -rn --include='*.php' '`' "$work/converted" >"$work/backquotes.txt"; then
  show "backquoted names left in the converted application" "$work/backquotes.txt"
  fail "corvexa-tree left MySQL's backquotes in queries sent through run_query()"
fi

status=0
(cd "$app" && timeout "$step_timeout" php "${php_flags[@]}" index.php) \
  >"$work/unconverted.out" 2>&1 || status=$?
grep -q 'Call to undefined function mysql_connect()' "$work/unconverted.out" || {
  show "unconverted application" "$work/unconverted.out"
  fail "the unconverted application did not fail for want of mysql_connect()"
}

server_step "$server_timeout" "the converted application did not serve its pages as expected" \
  bash "$here/club/serve_pages.sh" "$work/converted"
say "PASS: every page of the converted club application works on PHP 8 and PostgreSQL"
