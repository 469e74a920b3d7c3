#!/usr/bin/env bash
# End-to-end check of a conversion: converts the guestbook application in
# examples/legacy-app with corvexa, runs the result with the PHP command-line
# interpreter against a throwaway PostgreSQL server, and compares what it
# prints with examples/legacy-app/expected-output.txt.  It also runs the
# unconverted application, which must fail on a PHP without the MySQL
# extension: that shows the conversion is what makes the application work.
#
# Usage: run_legacy_app.sh <corvexa binary> <source tree>
#
# Exit status: 0 passed, 1 failed, 77 skipped (PHP, its pgsql extension or
# the PostgreSQL server is missing).  When the environment variable CI is
# "true", a missing tool is a failure instead of a skip.
set -euo pipefail

readonly skip_status=77
readonly step_timeout=60          # seconds for each command
readonly app_files=(config.php index.php listing.php)
readonly db_name=guestbook        # the settings of examples/legacy-app/config.php
readonly db_user=guestbook
readonly db_pass=letmein

say() { printf 'run_legacy_app: %s\n' "$*"; }
fail() { say "FAIL: $*"; exit 1; }
skip() {
  if [[ "${CI:-}" == "true" ]]; then
    fail "$* (CI is true, so this is not skipped)"
  fi
  say "SKIP: $*"
  exit "$skip_status"
}

[[ $# -eq 2 ]] || { echo "usage: $0 <corvexa binary> <source tree>" >&2; exit 2; }
corvexa=$1
app_source=$2/examples/legacy-app
[[ -x "$corvexa" ]] || fail "corvexa binary not found: $corvexa"
[[ -f "$app_source/expected-output.txt" ]] || fail "no application in $app_source"
command -v timeout >/dev/null || skip "timeout (coreutils) not found"

# --- Tools ------------------------------------------------------------------

command -v php >/dev/null || skip "php (package php-cli) not found"
php_flags=(-d display_errors=stderr -d log_errors=0 -d html_errors=0
           -d error_reporting=-1)
timeout "$step_timeout" php "${php_flags[@]}" -r 'exit(function_exists("pg_connect") ? 0 : 1);' ||
  skip "PHP has no pgsql extension (package php-pgsql)"

# The server programs are not on PATH on Debian: ask pg_config, then the
# package database, then PATH.
find_server_bindir() {
  local dir
  if command -v pg_config >/dev/null; then
    dir=$(pg_config --bindir 2>/dev/null || true)
    if [[ -n "$dir" && -x "$dir/initdb" ]]; then echo "$dir"; return 0; fi
  fi
  if command -v dpkg >/dev/null; then
    dir=$(dpkg -L postgresql-15 2>/dev/null | grep '/bin/initdb$' | head -n 1 || true)
    if [[ -n "$dir" && -x "$dir" ]]; then dirname "$dir"; return 0; fi
  fi
  dir=$(command -v initdb || true)
  if [[ -n "$dir" ]]; then dirname "$dir"; return 0; fi
  return 1
}
pg_bindir=$(find_server_bindir) || skip "PostgreSQL server programs (package postgresql-15) not found"
for program in initdb pg_ctl postgres; do
  [[ -x "$pg_bindir/$program" ]] || skip "$pg_bindir/$program not found"
done
if [[ -x "$pg_bindir/psql" ]]; then
  psql=$pg_bindir/psql
else
  psql=$(command -v psql) || skip "psql (package postgresql-client-15) not found"
fi

# The server refuses to run as root: then it runs as nobody.
as_server_user=()
if [[ $(id -u) -eq 0 ]]; then
  id nobody >/dev/null 2>&1 || skip "running as root and there is no user nobody"
  if command -v runuser >/dev/null; then
    as_server_user=(runuser -u nobody --)
  elif command -v setpriv >/dev/null; then
    as_server_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)"
                    --clear-groups --)
  else
    skip "running as root and neither runuser nor setpriv is available"
  fi
fi
as_server() { timeout "$step_timeout" "${as_server_user[@]}" "$@"; }

# --- Work folder and cleanup ------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/corvexa-e2e.XXXXXX")
pg_data=$work/server/data
pg_log=$work/server/server.log
server_started=

cleanup() {
  local status=$?
  if [[ -n "$server_started" ]]; then
    as_server "$pg_bindir/pg_ctl" -D "$pg_data" -m immediate -w -t 30 stop \
      >/dev/null 2>&1 || true
    # If pg_ctl could not stop it, end the server this script started.
    if [[ -f "$pg_data/postmaster.pid" ]]; then
      local pid
      pid=$(head -n 1 "$pg_data/postmaster.pid" 2>/dev/null || true)
      if [[ "$pid" =~ ^[0-9]+$ ]]; then kill -KILL "$pid" 2>/dev/null || true; fi
    fi
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Shows a file after a failure, for the test log.
show() {
  if [[ -s "$2" ]]; then
    say "--- $1 ---"
    cat "$2"
    say "--- end of $1 ---"
  fi
}

# --- Conversion -------------------------------------------------------------

mkdir "$work/converted" "$work/original"
for file in "${app_files[@]}"; do
  cp "$app_source/$file" "$work/original/$file"
  console=$work/corvexa-$file.txt
  if ! timeout "$step_timeout" "$corvexa" -d "$db_name" \
      "$work/original/$file" "$work/converted/$file" >"$console" 2>&1; then
    show "corvexa output for $file" "$console"
    fail "corvexa did not convert $file"
  fi
  grep -qx 'Done.' "$console" || { show "corvexa output" "$console"; fail "no Done. for $file"; }
  if grep -q '^Parse Error' "$console"; then
    show "corvexa output" "$console"
    fail "corvexa reported a parse error in $file"
  fi
done
grep -qxF 'guestbook == guestbook ..  This is a good thing.' "$work/corvexa-index.php.txt" ||
  fail "corvexa gave no database advice for the mysql_select_db() call of index.php"
# Call names in comments and strings are text, not calls.
grep -qF ' * Connects with mysql_connect(), creates the entries table, fills it with a' \
  "$work/converted/index.php" || fail "a comment of index.php was changed"
grep -qF "<p>This page was written for mysql_query() and mysql_fetch_array().</p>" \
  "$work/converted/index.php" || fail "HTML text of index.php was changed"
grep -qF "array(4, 'Jonas', 'Who still calls mysql_fetch_row()?')," \
  "$work/converted/index.php" || fail "a string of index.php was changed"

# --- The unconverted application must not run -------------------------------

unconverted_status=0
(cd "$work/original" && timeout "$step_timeout" php "${php_flags[@]}" index.php) \
  >"$work/unconverted.out" 2>"$work/unconverted.err" || unconverted_status=$?
if [[ $unconverted_status -eq 0 ]]; then
  fail "the unconverted application ran: this PHP has a MySQL extension, so the test proves nothing"
fi
grep -q 'Call to undefined function mysql_connect()' "$work/unconverted.err" || {
  show "unconverted application errors" "$work/unconverted.err"
  fail "the unconverted application failed for another reason than the missing mysql_connect()"
}
say "unconverted application fails as it should: Call to undefined function mysql_connect()"

# --- Throwaway PostgreSQL server ------------------------------------------------

mkdir -p "$pg_data"
chmod 755 "$work"
if [[ ${#as_server_user[@]} -gt 0 ]]; then
  chown -R nobody "$work/server"
  as_server test -w "$work/server" ||
    skip "user nobody cannot reach $work (set TMPDIR to a folder it can enter)"
fi
chmod 700 "$pg_data"

if ! (cd "$work/server" && as_server "$pg_bindir/initdb" -D "$pg_data" -U postgres \
      -A trust --auth-host=scram-sha-256 -E UTF8 --locale=C --no-sync) \
      >"$work/initdb.log" 2>&1; then
  show "initdb output" "$work/initdb.log"
  fail "initdb failed"
fi

# A free TCP port on 127.0.0.1, chosen by the system.
free_port() {
  # shellcheck disable=SC2016  # PHP code, not shell
  timeout "$step_timeout" php -r '$s = stream_socket_server("tcp://127.0.0.1:0");
    $name = stream_socket_get_name($s, false); echo substr(strrchr($name, ":"), 1);'
}

# Another process may take the port between the choice and the start: then
# try again with another one.
for attempt in 1 2 3; do
  port=$(free_port)
  cat >>"$pg_data/postgresql.conf" <<EOF
# Settings of the end-to-end test (the last one of each name counts).
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$work/server'
fsync = off
EOF
  server_started=yes
  if (cd "$work/server" && as_server "$pg_bindir/pg_ctl" -D "$pg_data" -l "$pg_log" \
        -w -t "$step_timeout" start) >"$work/pg_ctl.log" 2>&1; then
    break
  fi
  if [[ $attempt -eq 3 ]]; then
    show "pg_ctl output" "$work/pg_ctl.log"
    show "server log" "$pg_log"
    fail "the PostgreSQL server did not start"
  fi
  say "the server did not start on port $port; trying another port"
done
say "PostgreSQL server running on 127.0.0.1:$port"

# The role and database of the application's settings.  The superuser
# connects through the Unix socket, where initdb set up trust.
if ! timeout "$step_timeout" "$psql" -X -q -v ON_ERROR_STOP=1 -h "$work/server" -p "$port" \
    -U postgres -d postgres \
    -c "CREATE ROLE $db_user LOGIN PASSWORD '$db_pass'" \
    -c "CREATE DATABASE $db_name OWNER $db_user" >"$work/psql.log" 2>&1; then
  show "psql output" "$work/psql.log"
  fail "could not create the role and database"
fi

# --- The converted application ------------------------------------------------

# A clean environment, so that no PG* setting of the caller reaches libpq;
# PGPORT gives the port, which the connect string does not name.
converted_status=0
(cd "$work/converted" &&
  timeout "$step_timeout" env -i PATH="$PATH" PGPORT="$port" PGCONNECT_TIMEOUT=10 \
    php "${php_flags[@]}" index.php) \
  >"$work/converted.out" 2>"$work/converted.err" || converted_status=$?
if [[ $converted_status -ne 0 ]]; then
  show "output of the converted application" "$work/converted.out"
  show "errors of the converted application" "$work/converted.err"
  show "server log" "$pg_log"
  fail "the converted application exited with status $converted_status"
fi
# PHP 8.1 and later deprecate pg_query() without a connection, which is what
# mysql_query() without a link becomes: that notice is expected, any other
# message is a failure.
grep -v '^Deprecated: pg_query(): Automatic fetching of PostgreSQL connection is deprecated in ' \
  "$work/converted.err" | grep -v '^$' >"$work/unexpected.err" || true
if [[ -s "$work/unexpected.err" ]]; then
  show "errors of the converted application" "$work/converted.err"
  fail "the converted application printed errors or warnings"
fi
if ! diff -u "$app_source/expected-output.txt" "$work/converted.out" >"$work/output.diff"; then
  show "difference from expected-output.txt" "$work/output.diff"
  fail "the converted application printed something else than expected-output.txt"
fi

say "PASS: the converted application runs on PostgreSQL and prints the expected output"
