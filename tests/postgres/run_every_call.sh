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

readonly step_timeout=60
readonly server_timeout=300
readonly script=run_every_call
here=$(cd "$(dirname "$0")" && pwd)
source "$here/tools.sh"

[[ $# -eq 1 ]] || { echo "usage: $0 <corvexa-tree binary>" >&2; exit 2; }
corvexa_tree=$1
[[ -x "$corvexa_tree" ]] || fail "corvexa-tree binary not found: $corvexa_tree"
require_php_and_postgres

work=$(mktemp -d "${TMPDIR:-/tmp}/corvexa-every-call.XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
timeout "$step_timeout" "$corvexa_tree" --no-progress -d every_call "$here/every_call" \
  "$work/converted" >"$work/report.txt" 2>&1 || status=$?
if [[ $status -ne 0 ]]; then
  show "corvexa-tree report" "$work/report.txt"
  fail "corvexa-tree exited with status $status"
fi
if grep -q -e '\[leftover-name\]' -e '\[unreadable-call\]' "$work/report.txt"; then
  show "corvexa-tree report" "$work/report.txt"
  fail "a call of the MySQL extension is left in the converted script"
fi

server_step "$server_timeout" "the converted script did not run as expected on PostgreSQL" \
  bash "$here/every_call/run_on_server.sh" "$work/converted" "$here/every_call/expected.txt"
say "PASS: every call of the MySQL extension, converted, runs on PHP 8 and PostgreSQL"
