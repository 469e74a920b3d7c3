#!/usr/bin/env bash
# Runs under pg_virtualenv, which has set PGHOST, PGPORT, PGUSER and
# PGPASSWORD for a fresh cluster: creates the club's role and database,
# loads its schema and data as corvexa-tree converted them from the MySQL
# files the application ships (sql/schema.sql, then sql/data.sql), serves
# the converted application with PHP's
# own web server (every error, warning, notice and deprecation displayed
# and logged), requests every page with curl, and checks what the pages
# show from the database and that PHP said nothing else.
#
# Usage: serve_pages.sh <converted application>
set -euo pipefail

readonly step_timeout=60
[[ $# -eq 1 ]] || { echo "usage: $0 <converted application>" >&2; exit 2; }
app=$1
: "${PGPORT:?not run under pg_virtualenv: PGPORT is not set}"

timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 -d postgres \
  -c "CREATE ROLE club LOGIN PASSWORD 'members only'" \
  -c "CREATE DATABASE club OWNER club ENCODING 'UTF8' TEMPLATE template0"
for file in schema data; do
  PGPASSWORD='members only' timeout "$step_timeout" psql -X -q -v ON_ERROR_STOP=1 \
    -h 127.0.0.1 -U club -d club -f "$app/sql/$file.sql" >/dev/null
done

work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# PHP's server on a free port, with only PGPORT for libpq: the converted
# connect names everything else.
web_port=
for _ in $(seq 1 50); do
  web_port=$((20000 + RANDOM % 40000))
  (exec 3<>"/dev/tcp/127.0.0.1/$web_port") 2>/dev/null || break
done
env -i PATH="$PATH" PGPORT="$PGPORT" PGCONNECT_TIMEOUT=10 \
  php -d display_errors=1 -d html_errors=0 -d error_reporting=-1 -d log_errors=1 \
      -d error_log="$work/php-errors.log" -S "127.0.0.1:$web_port" -t "$app" \
  >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
  curl -s -o /dev/null "http://127.0.0.1:$web_port/" && break
  sleep 0.1
done

failures=0
# request NAME PATH [curl options...]: the page's body in $work/NAME.html.
request() {
  local name=$1 path=$2
  shift 2
  local code
  code=$(curl -s -o "$work/$name.html" -w '%{http_code}' --max-time 30 "$@" \
    "http://127.0.0.1:$web_port/$path") || code=failed
  if [[ $code != 200 ]]; then
    echo "FAIL: $path answered $code"
    failures=$((failures + 1))
  fi
  if grep -E -q '(Warning|Notice|Deprecated|Fatal error|Parse error|Uncaught)' "$work/$name.html"; then
    echo "FAIL: PHP complained on $path:"
    cat "$work/$name.html"
    failures=$((failures + 1))
  fi
}
# shows NAME TEXT: the page NAME shows TEXT.
shows() {
  if ! grep -F -q -- "$2" "$work/$1.html"; then
    echo "FAIL: $1 does not show: $2"
    cat "$work/$1.html"
    failures=$((failures + 1))
  fi
}
lacks() {
  if grep -F -q -- "$2" "$work/$1.html"; then
    echo "FAIL: $1 shows what it should not: $2"
    failures=$((failures + 1))
  fi
}

request list index.php
shows list '4 members in all; page 1.'
shows list '<a href="member.php?id=1">Ada Lovelace</a> (Kingfisher)'
shows list 'Brendan O&#039;Hara</a> (Swan&#039;s Wing)'
shows list 'Chloé Martin</a> (no boat)'
shows list 'Next page'
request second index.php?page=2
shows second 'Dmitri Volkov</a> (Heron)'
lacks second 'Next page'
request ada member.php?id=1
shows ada '<h1>Ada Lovelace</h1>'
shows ada '3 outings, 30.5 km in all; the first on 2023-04-02, the last on 2023-05-14.'
request chloe member.php?id=3
shows chloe 'No outings yet.'
request nobody member.php?id=99
shows nobody 'No such member'
request form add.php
shows form '<option value="3">Swan&#039;s Wing</option>'
request joined add.php --data-urlencode 'name=Eve Example' \
  --data-urlencode 'email=eve@example.org' --data-urlencode 'boat=2'
shows joined 'Welcome, Eve Example! Your member number is 5.'
request duplicate add.php --data-urlencode 'name=Ada Again' \
  --data-urlencode 'email=ada@example.org' --data-urlencode 'boat=1'
shows duplicate "ada@example.org is already a member's address."
request renamed rename.php --data-urlencode 'id=5' --data-urlencode "name=Eve O'Neill"
shows renamed '1 member renamed.'
request search "search.php?q=O'Ne"
shows search '1 found for &quot;O&#039;Ne&quot;.'
shows search "<li>Eve O&#039;Neill</li>"
request stats stats.php
shows stats 'Boats: 3.'
shows stats '<tr><th>name</th><th>km</th></tr>'
shows stats '<tr><td>Ada Lovelace</td><td>30.5</td></tr>'
shows stats 'Tables: 3.'
shows stats 'Connection: alive.'

if [[ -s $work/php-errors.log ]]; then
  echo "FAIL: PHP logged errors:"
  cat "$work/php-errors.log"
  failures=$((failures + 1))
fi
if [[ $failures -ne 0 ]]; then
  echo "$failures failures; the server said:"
  cat "$work/server.log"
  exit 1
fi
echo "every page of the converted application works"
