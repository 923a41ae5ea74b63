#!/usr/bin/env bash
# Starts or stops a private MariaDB server for the demo, the tests and the benchmarks.
#   dbserver.sh start DIR PORT [ADDRESS [MARIADBD-OPTION...]]   (ADDRESS defaults to 127.0.0.1)
#   dbserver.sh stop DIR
# The server keeps everything under DIR, its temporary tables too (a shared /tmp may be
# cleaned under its feet), listens on ADDRESS:PORT and on DIR/mysql.sock, uses EUC-KR as
# its character set and has the client's built-in account (scripts/account.sh). Further
# options go to mariadbd as they are (the tests' replication servers: --log-bin ...).
# With AS_DB_TEMPLATE set, a new DIR copies the system tables installed once into that
# folder instead of installing them again (several servers start faster).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/account.sh"

cmd=${1:?start or stop}
dir=$(realpath -m "${2:?folder}")

stop_server() {
  if [ -f "$dir/mysqld.pid" ]; then
    local pid
    pid=$(cat "$dir/mysqld.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$dir/mysqld.pid"
  fi
}

install_data() {
  mariadb-install-db --user="$(id -un)" --datadir="$1" --auth-root-authentication-method=normal \
    --skip-test-db > "$2" 2>&1
}

case "$cmd" in
start)
  port=${3:?port}
  addr=${4:-127.0.0.1}
  shift $(($# < 4 ? $# : 4))
  stop_server
  mkdir -p "$dir/tmp"
  if [ ! -d "$dir/data/mysql" ]; then
    if [ -n "${AS_DB_TEMPLATE:-}" ]; then
      [ -d "$AS_DB_TEMPLATE/mysql" ] || install_data "$AS_DB_TEMPLATE" "$dir/install.log"
      rm -rf "$dir/data"
      cp -a "$AS_DB_TEMPLATE" "$dir/data"
    else
      install_data "$dir/data" "$dir/install.log"
    fi
  fi
  mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --socket="$dir/mysql.sock" \
    --pid-file="$dir/mysqld.pid" --tmpdir="$dir/tmp" --port="$port" --bind-address="$addr" \
    --character-set-server=euckr --collation-server=euckr_korean_ci \
    --skip-name-resolve --innodb-buffer-pool-size=256M --innodb-flush-log-at-trx-commit=2 \
    --general-log=0 --general-log-file="$dir/general.log" --log-error="$dir/error.log" "$@" \
    > /dev/null 2>&1 &
  for _ in $(seq 1 300); do
    if mariadb-admin --no-defaults --socket="$dir/mysql.sock" -uroot ping > /dev/null 2>&1; then
      mariadb --no-defaults --socket="$dir/mysql.sock" -uroot <<SQL
CREATE USER IF NOT EXISTS '$AS_DB_USER'@'%' IDENTIFIED BY '$AS_DB_PASSWORD';
CREATE USER IF NOT EXISTS '$AS_DB_USER'@'localhost' IDENTIFIED BY '$AS_DB_PASSWORD';
GRANT ALL PRIVILEGES ON *.* TO '$AS_DB_USER'@'%';
GRANT ALL PRIVILEGES ON *.* TO '$AS_DB_USER'@'localhost';
FLUSH PRIVILEGES;
SQL
      exit 0
    fi
    sleep 0.2
  done
  echo "MariaDB did not start; see $dir/error.log" >&2
  tail -n 20 "$dir/error.log" >&2 || true
  exit 1
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: $0 start DIR PORT [ADDRESS [MARIADBD-OPTION...]] | stop DIR" >&2
  exit 2
  ;;
esac
