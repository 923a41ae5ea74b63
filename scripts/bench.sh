#!/usr/bin/env bash
# Builds and runs the benchmarks against a private MariaDB server holding the demo
# tables with many records (build/benchdb, 127.0.0.1:33506 unless --port).
#   scripts/bench.sh [--records N] [--port PORT] [benchmark filter regex]
# The data stays in build/benchdb and is generated again only for another count.
set -euo pipefail
cd "$(dirname "$0")/.."
records=200000
port=33506
while [ $# -gt 0 ]; do
  case "$1" in
    --records) records=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    *) break ;;
  esac
done
filter=${1:-}

bash scripts/install-deps.sh
bash scripts/build.sh
dir=$(pwd)/build/benchdb
bash scripts/dbserver.sh start "$dir" "$port" 127.0.0.1
trap 'bash scripts/dbserver.sh stop "$dir"' EXIT
sql() { mariadb --no-defaults --socket="$dir/mysql.sock" -uroot --default-character-set=euckr "$@"; }

have=$(sql -N -e "SELECT IFNULL((SELECT COUNT(*) FROM kx_bench.aslist), 0)" 2>/dev/null || echo 0)
if [ "$have" != "$records" ]; then
  echo "Loading $records records..."
  build/bin/asdemo-data --sql "$dir/bench.sql" --records "$records" --base-date 2026-12-01
  sql -e "DROP DATABASE IF EXISTS kx_bench; CREATE DATABASE kx_bench DEFAULT CHARSET euckr;"
  sql kx_bench < data/schema.sql > /dev/null
  # Loaded without the text index's triggers, which is then built as an upgrade does.
  { echo "SET @astext_off = 1;"; cat "$dir/bench.sql"; } | sql kx_bench
  sql kx_bench -e "DROP TABLE astext_ready; CALL astext_build(); ANALYZE TABLE aslist, ascomp, part, user" > /dev/null
fi

export AS_BENCH_HOST=127.0.0.1 AS_BENCH_PORT=$port AS_BENCH_DB=kx_bench AS_BENCH_SOCKET=$dir/mysql.sock
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
for b in build/bench/bench_*; do
  [ -x "$b" ] || continue
  if [ -n "$filter" ] && ! [[ "$(basename "$b")" =~ $filter ]]; then continue; fi
  echo "== $(basename "$b")"
  "$b"
done
