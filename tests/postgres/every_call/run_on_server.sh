#!/usr/bin/env bash
# Runs under pg_virtualenv, which has set PGHOST, PGPORT, PGUSER and
# PGPASSWORD for a fresh cluster: creates the role, database and table of
# settings.php, runs the converted legacy.php with PHP (every error,
# warning, notice and deprecation shown) and compares what it prints with
# the expected output. Exits 0 when it matches and PHP said nothing else.
#
# Usage: run_on_server.sh <folder of converted files> <expected output>
set -euo pipefail
readonly script=every_call
source "$(dirname "$0")/../tools.sh"

need_arguments 2 "<converted folder> <expected output>" "$@"
converted=$1
expected=$2

make_role_and_database every_call "it's secret" CREATEDB
PGPASSWORD="it's secret" timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 \
  -h 127.0.0.1 -U every_call -d every_call \
  -c "CREATE TABLE members (id serial PRIMARY KEY, name varchar(40) NOT NULL,
                            email varchar(80) UNIQUE, score integer)"

run_converted_script_and_compare "$converted" legacy.php "$expected" "the converted script"
