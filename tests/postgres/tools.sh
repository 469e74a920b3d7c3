# Shared by the end-to-end scripts: messages, the skip rule and the check
# that PHP with its pgsql extension and a PostgreSQL server are at hand.
# Source it after setting `script` to the script's name.
#
# A missing tool skips the test (exit 77), except when the environment
# variable CI is "true", where it fails: in CI nothing may be skipped for
# want of a package.

readonly skip_status=77
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
