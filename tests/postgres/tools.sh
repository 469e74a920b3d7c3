# Shared by the end-to-end scripts: messages, the skip rule and the check
# that PHP with its pgsql extension and a PostgreSQL server are at hand.
# Source it after setting `script` to the script's name; it sets `here` to
# this folder.
#
# A missing tool skips the test (exit 77), except when the environment
# variable CI is "true", where it fails: in CI nothing may be skipped for
# want of a package.

readonly skip_status=77
readonly step_timeout=60          # seconds for each command
readonly server_timeout=300       # seconds for a whole run on a server
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly php_flags=(-d display_errors=stderr -d log_errors=0 -d html_errors=0
                    -d error_reporting=-1)

say() { printf '%s: %s\n' "$script" "$*"; }
fail() { say "FAIL: $*"; exit 1; }
skip() {
  if [[ "${CI:-}" == "true" ]]; then
    fail "$* (CI is true, so this is not skipped)"
  fi
  say "SKIP: $*"
  exit "$skip_status"
}

# Shows a file after a failure, for the test log.
show() {
  if [[ -s "$2" ]]; then
    say "--- $1 ---"
    cat "$2"
    say "--- end of $1 ---"
  fi
}

# Skips unless psql, pg_virtualenv and a server are installed.
require_postgres() {
  command -v timeout >/dev/null || skip "timeout (coreutils) not found"
  command -v psql >/dev/null || skip "psql (package postgresql-client) not found"
  command -v pg_virtualenv >/dev/null || skip "pg_virtualenv (package postgresql-common) not found"
  compgen -G '/usr/lib/postgresql/*/bin/postgres' >/dev/null ||
    skip "no PostgreSQL server installed (package postgresql-15)"
}

# Skips unless PHP with the pgsql extension is installed too.
require_php_and_postgres() {
  require_postgres
  command -v php >/dev/null || skip "php (package php-cli) not found"
  timeout 60 php "${php_flags[@]}" -r 'exit(function_exists("pg_connect") ? 0 : 1);' ||
    skip "PHP has no pgsql extension (package php-pgsql)"
}

# Runs "${@:2}" under pg_virtualenv, for at most $1 seconds, on a
# throwaway cluster of its own, on a port that no other server (another
# test's, perhaps) is using.
on_throwaway_server() {
  local seconds=$1 port
  shift
  for _ in $(seq 1 50); do
    port=$((20000 + RANDOM % 40000))
    [[ -e /var/run/postgresql/.s.PGSQL.$port ]] && continue
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
    timeout "$seconds" pg_virtualenv -t -c "-p $port" "$@"
    return
  done
  echo "no free port for a throwaway server" >&2
  return 1
}

# Runs the PHP script $2 in the folder $1 (under a throwaway server) in a
# clean environment, so that only PGPORT reaches libpq: a converted connect
# names host, user, password and database but no port. Every error,
# warning, notice and deprecation goes to standard error. Its output goes
# to $3, its errors to $4; returns PHP's exit status.
run_php_script() {
  (cd "$1" &&
    timeout 60 env -i PATH="$PATH" PGPORT="$PGPORT" PGCONNECT_TIMEOUT=10 \
      php "${php_flags[@]}" "$2") >"$3" 2>"$4"
}

# Runs "${@:3}" on a throwaway server for at most $1 seconds; on failure
# shows what it printed and fails with the message $2.
server_step() {
  local seconds=$1 failure=$2 log
  shift 2
  log=$(mktemp)
  local status=0
  on_throwaway_server "$seconds" "$@" >"$log" 2>&1 || status=$?
  if [[ $status -ne 0 ]]; then
    show "run on the throwaway server" "$log"
    rm -f "$log"
    fail "$failure (status $status)"
  fi
  rm -f "$log"
}

# Ends the script with status 2 and its usage unless it was given exactly
# $1 arguments ("${@:3}"); $2 names them.
need_arguments() {
  local count=$1 names=$2
  shift 2
  [[ $# -eq $count ]] || { echo "usage: $0 $names" >&2; exit 2; }
}

# Fails unless $1 is a program that can be run; $2 names it.
need_program() {
  [[ -x "$1" ]] || fail "$2 not found: $1"
}

# Makes a folder for the run's files, named after $1, and removes it when
# the script ends; sets `work` to it.
make_work_folder() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap 'rm -rf "$work"' EXIT
}

# Ports the folder $2 into $3 with the corvexa-tree binary named in
# $corvexa_tree, for the database $1, with the options "${@:5}"; its report
# goes to $4. Fails, showing the report, when corvexa-tree does.
port_folder() {
  local database=$1 source=$2 out=$3 report=$4
  shift 4
  local status=0
  timeout "$step_timeout" "$corvexa_tree" --no-progress "$@" -d "$database" "$source" "$out" \
    >"$report" 2>&1 || status=$?
  if [[ $status -ne 0 ]]; then
    show "corvexa-tree report" "$report"
    fail "corvexa-tree${*:+ $*} exited with status $status"
  fi
}

# Fails with the message $2, showing the report $1, when the report holds
# a finding of any of the rules "${@:3}".
refuse_findings() {
  local report=$1 failure=$2
  shift 2
  local patterns=() rule
  for rule in "$@"; do patterns+=(-e "[$rule]"); done
  if grep -q -F "${patterns[@]}" "$report"; then
    show "corvexa-tree report" "$report"
    fail "$failure"
  fi
}

# On a throwaway server (PGPORT set by pg_virtualenv): creates the login
# role $1 with the password $2 and the options "${@:3}", and an empty
# database $1 that it owns.
make_role_and_database() {
  local name=$1 password=${2//\'/\'\'}
  shift 2
  : "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"
  timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -d postgres \
    -c "CREATE ROLE $name LOGIN $* PASSWORD '$password'" \
    -c "CREATE DATABASE $name OWNER $name"
}

# On a throwaway server: runs the converted PHP script $2 in the folder $1
# and exits 1, naming it $4, when PHP fails, prints any message (but those
# matching the grep pattern $5, if given) or prints other than the file $3.
# Sets the EXIT trap that removes what PHP printed.
run_converted_script_and_compare() {
  local converted=$1 php_script=$2 expected=$3 what=$4 allowed=${5:-}
  local out err status=0
  out=$(mktemp)
  err=$(mktemp)
  # Expanded now: the locals are gone by the time the script exits.
  # shellcheck disable=SC2064
  trap "rm -f $(printf '%q ' "$out" "$err")" EXIT
  run_php_script "$converted" "$php_script" "$out" "$err" || status=$?
  if [[ $status -ne 0 ]]; then
    cat "$out" "$err"
    echo "$what exited with status $status"
    exit 1
  fi
  if [[ -z $allowed && -s $err ]] ||
     [[ -n $allowed && -n $(grep -v -e "$allowed" -e '^$' "$err") ]]; then
    cat "$err"
    echo "$what printed errors or warnings"
    exit 1
  fi
  if ! diff -u "$expected" "$out"; then
    echo "$what printed something else than $expected"
    exit 1
  fi
}
