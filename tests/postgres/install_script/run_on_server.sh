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

need_arguments 2 "<converted folder> <expected output>" "$@"
converted=$1
expected=$2

make_role_and_database installer "it's secret"
run_converted_script_and_compare "$converted" install.php "$expected" \
  "the converted install script"
