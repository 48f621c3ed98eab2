#!/usr/bin/env bash
# Starts and stops the throwaway PostgreSQL server the database tests run against: a fresh
# cluster in DIR, reachable only through a Unix socket in DIR, removed again afterwards.
#   pg_cluster.sh start DIR   replace whatever this script left in DIR by a new running cluster
#   pg_cluster.sh stop DIR    stop the server (if any) and remove DIR (if any)
# Run as root, the server runs as the unprivileged `postgres` user (PostgreSQL refuses to run
# as root); run as anyone else, it runs as that user. Silent on success; on failure it says
# why and shows the server's log. Optional environment: KELVA_PG_PORT (5432; it only names
# the socket file), KELVA_PG_DATABASE (kelva_test), KELVA_PG_USER (kelva, the superuser the
# tests connect as), KELVA_PG_BINDIR (the server programs; the newest installed otherwise).
set -euo pipefail

port=${KELVA_PG_PORT:-5432}
database=${KELVA_PG_DATABASE:-kelva_test}
user=${KELVA_PG_USER:-kelva}
# Marks a folder as made by this script: no other folder is ever removed.
marker_name=.kelva-pg-cluster
# The kernel's limit on a Unix socket path (sun_path, less its terminating zero).
socket_path_limit=107

# A developer's own PG* variables (PGHOST, PGPORT, PGUSER, ...) must not send the programs
# below to another server.
while read -r name; do unset "$name"; done < <(compgen -v PG || true)

fail() {
  echo "pg_cluster.sh: $*" >&2
  exit 1
}

# show_log FILE: copies a log to stderr, so that a failed start explains itself in ctest.
show_log() {
  [ -s "$1" ] || return 0
  echo "----- $1 -----" >&2
  cat "$1" >&2
  echo "----- end of $1 -----" >&2
}

find_bindir() {
  if [ -n "${KELVA_PG_BINDIR:-}" ]; then
    echo "$KELVA_PG_BINDIR"
    return
  fi
  # Debian keeps each major version's server programs apart; take the newest.
  local installed=(/usr/lib/postgresql/*/bin/initdb)
  if [ -e "${installed[0]}" ]; then
    dirname "$(printf '%s\n' "${installed[@]}" | sort -V | tail -n 1)"
    return
  fi
  local initdb
  initdb=$(command -v initdb || true)
  [ -n "$initdb" ] ||
    fail "no PostgreSQL server programs found (install postgresql, or set KELVA_PG_BINDIR)"
  dirname "$initdb"
}

# as_server_user COMMAND...: runs a command as the user the server runs as.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

# server_pid DATA: the process id of the server running on DATA, or nothing. A lock file left
# by a killed server may name a process id that now belongs to another program: only a
# process started on this very data folder counts.
server_pid() {
  local lock=$1/postmaster.pid pid
  [ -r "$lock" ] || return 0
  pid=$(head -n 1 "$lock")
  [[ "$pid" =~ ^[0-9]+$ ]] || return 0
  [ -r "/proc/$pid/cmdline" ] || return 0
  if tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "$1"; then
    echo "$pid"
  fi
}

stop_server() {
  local dir=$1 data=$1/data pid bindir output
  pid=$(server_pid "$data")
  [ -n "$pid" ] || return 0
  bindir=$(find_bindir)
  # Fast mode ends the sessions still open; immediate mode is the fallback for a server that
  # does not finish in time (nothing in a throwaway cluster needs a clean shutdown).
  output=$(as_server_user "$bindir/pg_ctl" stop -D "$data" -m fast -w -t 30 -s 2>&1) && return 0
  output+=$(as_server_user "$bindir/pg_ctl" stop -D "$data" -m immediate -w -t 30 -s 2>&1) &&
    return 0
  # pg_ctl also fails when the server has ended by itself in the meantime.
  [ -n "$(server_pid "$data")" ] || return 0
  echo "$output" >&2
  show_log "$dir/server.log"
  fail "the server in $dir (process $pid) does not stop"
}

remove_dir() {
  local dir=$1
  [ -e "$dir" ] || [ -L "$dir" ] || return 0
  if [ -L "$dir" ] || ! [ -d "$dir" ]; then
    fail "$dir is not a folder: refusing to remove it"
  fi
  if [ ! -e "$dir/$marker_name" ] && [ -n "$(ls -A "$dir")" ]; then
    fail "$dir was not made by this script and is not empty: refusing to remove it"
  fi
  rm -rf -- "$dir"
}

# start_failed DIR: shows why a start failed and stops a half-started server again, so that
# no server outlives its folder.
start_failed() {
  local dir=$1
  show_log "$dir/initdb.log"
  show_log "$dir/createdb.log"
  show_log "$dir/server.log"
  stop_server "$dir" || true
  fail "could not start the PostgreSQL server in $dir"
}

write_server_settings() {
  local dir=$1
  # Only clients of this machine going through the socket get in, without a password:
  # nothing listens on a network port. A test server needs no durability, so nothing waits
  # for the disk.
  cat >>"$dir/data/postgresql.conf" <<SETTINGS

# Throwaway test server (tests/sql/pg_cluster.sh)
listen_addresses = ''
port = $port
unix_socket_directories = '$dir'
max_connections = 50
shared_buffers = 16MB
fsync = off
synchronous_commit = off
full_page_writes = off
SETTINGS
}

start_cluster() {
  local dir=$1 data=$1/data socket=$1/.s.PGSQL.$port bindir
  [ ${#socket} -le $socket_path_limit ] ||
    fail "the socket path $socket is over $socket_path_limit characters: use a shorter folder"
  # The settings file quotes the folder; a quote in its name is not worth escaping.
  [[ "$dir" != *"'"* ]] || fail "the folder $dir contains a quote"
  if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
    fail "there is no 'postgres' user to run the server as (install the postgresql package)"
  fi
  bindir=$(find_bindir)

  # A cluster left by an aborted run (whose stop never came) is replaced, not reused.
  stop_server "$dir"
  remove_dir "$dir"
  mkdir -p -- "$(dirname "$dir")"
  # No -p here: a folder someone else made in the meantime is not taken over.
  mkdir -- "$dir" || fail "cannot make $dir"
  touch "$dir/$marker_name"
  # The server writes its socket and lock file here, and must reach it through every parent.
  chmod 755 "$dir"
  if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi

  as_server_user "$bindir/initdb" -D "$data" -U "$user" -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=reject --no-sync >"$dir/initdb.log" 2>&1 ||
    start_failed "$dir"
  write_server_settings "$dir" || start_failed "$dir"
  as_server_user "$bindir/pg_ctl" start -D "$data" -l "$dir/server.log" -w -t 60 -s \
    >/dev/null 2>&1 || start_failed "$dir"
  as_server_user "$bindir/createdb" -h "$dir" -p "$port" -U "$user" "$database" \
    >"$dir/createdb.log" 2>&1 || start_failed "$dir"
}

[ $# -eq 2 ] || fail "usage: pg_cluster.sh start|stop DIR"
command=$1
case "$2" in
  /*) dir=${2%/} ;;
  *) fail "DIR must be an absolute path (got $2)" ;;
esac
[ -n "$dir" ] || fail "refusing to use / as the cluster folder"
# The server's user may not be allowed into the caller's working folder.
cd /

case "$command" in
  start) start_cluster "$dir" ;;
  stop)
    stop_server "$dir"
    remove_dir "$dir"
    ;;
  *) fail "usage: pg_cluster.sh start|stop DIR" ;;
esac
