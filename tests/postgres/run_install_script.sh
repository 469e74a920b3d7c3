#!/usr/bin/env bash
# Proves the conversion of the MySQL DDL in PHP query strings: converts
# install_script/ (an install script that creates its tables with MySQL's
# CREATE TABLE and ALTER TABLE) with corvexa-tree's complete rules, runs it
# with PHP against an empty database on a throwaway server (pg_virtualenv),
# and compares what it prints, the rows it wrote and read back, with
# install_script/expected.txt.
#
# Usage: run_install_script.sh <corvexa-tree binary>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing; a failure instead when CI is "true").
set -euo pipefail

readonly step_timeout=60
readonly server_timeout=300
readonly script=run_install_script
here=$(cd "$(dirname "$0")" && pwd)
source "$here/tools.sh"

[[ $# -eq 1 ]] || { echo "usage: $0 <corvexa-tree binary>" >&2; exit 2; }
corvexa_tree=$1
[[ -x "$corvexa_tree" ]] || fail "corvexa-tree binary not found: $corvexa_tree"
require_php_and_postgres

work=$(mktemp -d "${TMPDIR:-/tmp}/corvexa-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
timeout "$step_timeout" "$corvexa_tree" --no-progress -d installer "$here/install_script" \
  "$work/converted" >"$work/report.txt" 2>&1 || status=$?
if [[ $status -ne 0 ]]; then
  show "corvexa-tree report" "$work/report.txt"
  fail "corvexa-tree exited with status $status"
fi
if grep -q -e '\[sql-syntax\]' -e '\[sql-mysql\]' "$work/report.txt"; then
  show "corvexa-tree report" "$work/report.txt"
  fail "a query text of the install script was left as MySQL wrote it"
fi
if grep -q -i -e 'ENGINE=' -e 'AUTO_INCREMENT' -e '`' "$work/converted/install.php"; then
  fail "MySQL DDL is left in the converted install script"
fi

server_step "$server_timeout" "the converted install script did not run as expected on PostgreSQL" \
  bash "$here/install_script/run_on_server.sh" "$work/converted" "$here/install_script/expected.txt"
say "PASS: the install script's MySQL DDL, converted, creates tables that PHP fills and reads"
