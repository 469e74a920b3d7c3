#!/usr/bin/env bash
# Runs under pg_virtualenv, which has set PGHOST, PGPORT, PGUSER and
# PGPASSWORD for a fresh cluster: creates the role and the empty database of
# install.php, runs the converted script with PHP (every error, warning,
# notice and deprecation shown) and compares what it prints with the
# expected output. Exits 0 when it matches and PHP said nothing else.
#
# Usage: run_on_server.sh <folder of converted files> <expected output>
set -euo pipefail
readonly script=install_script
source "$(dirname "$0")/../tools.sh"

readonly step_timeout=60
[[ $# -eq 2 ]] || { echo "usage: $0 <converted folder> <expected output>" >&2; exit 2; }
converted=$1
expected=$2
: "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"

timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -d postgres \
  -c "CREATE ROLE installer LOGIN PASSWORD 'it''s secret'" \
  -c "CREATE DATABASE installer OWNER installer"

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
run_php_script "$converted" install.php "$out" "$err" || status=$?
if [[ $status -ne 0 || -s $err ]]; then
  cat "$out" "$err"
  echo "the converted install script exited with status $status or printed errors"
  exit 1
fi
if ! diff -u "$expected" "$out"; then
  echo "the converted install script printed something else than $expected"
  exit 1
fi
