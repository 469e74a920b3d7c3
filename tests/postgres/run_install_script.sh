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
readonly script=run_install_script
source "$(dirname "$0")/tools.sh"

need_arguments 1 "<corvexa-tree binary>" "$@"
corvexa_tree=$1
need_program "$corvexa_tree" "corvexa-tree binary"
require_php_and_postgres
make_work_folder corvexa-install

port_folder installer "$here/install_script" "$work/converted" "$work/report.txt"
refuse_findings "$work/report.txt" "a query text of the install script was left as MySQL wrote it" \
  sql-syntax sql-mysql
if grep -q -i -e 'ENGINE=' -e 'AUTO_INCREMENT' -e '`' "$work/converted/install.php"; then
  fail "MySQL DDL is left in the converted install script"
fi

server_step "$server_timeout" "the converted install script did not run as expected on PostgreSQL" \
  bash "$here/install_script/run_on_server.sh" "$work/converted" "$here/install_script/expected.txt"
say "PASS: the install script's MySQL DDL, converted, creates tables that PHP fills and reads"
