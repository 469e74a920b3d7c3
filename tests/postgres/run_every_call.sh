#!/usr/bin/env bash
# Proves every mapping of corvexa-tree's complete rules on PHP 8 and a real
# PostgreSQL: converts every_call/ (a script that calls every function of
# PHP's MySQL extension) with corvexa-tree's default rules, runs it with
# PHP against a throwaway server (pg_virtualenv) with every error, warning,
# notice and deprecation shown, and compares what it prints with
# every_call/expected.txt. PHP must say nothing else.
#
# Usage: run_every_call.sh <corvexa-tree binary>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing; a failure instead when CI is "true").
set -euo pipefail
readonly script=run_every_call
source "$(dirname "$0")/tools.sh"

need_arguments 1 "<corvexa-tree binary>" "$@"
corvexa_tree=$1
need_program "$corvexa_tree" "corvexa-tree binary"
require_php_and_postgres
make_work_folder corvexa-every-call

port_folder every_call "$here/every_call" "$work/converted" "$work/report.txt"
refuse_findings "$work/report.txt" "a call of the MySQL extension is left in the converted script" \
  leftover-name unreadable-call

server_step "$server_timeout" "the converted script did not run as expected on PostgreSQL" \
  bash "$here/every_call/run_on_server.sh" "$work/converted" "$here/every_call/expected.txt"
say "PASS: every call of the MySQL extension, converted, runs on PHP 8 and PostgreSQL"
