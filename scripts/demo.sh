#!/usr/bin/env bash
# Runs the client on a local demo database.
#   scripts/demo.sh [--reset] [--records N]
# Installs what is missing, builds, starts a private MariaDB server under .demo/ in
# this checkout (EUC-KR, 127.0.0.1:33406 only), loads the tables and generated demo
# data on first use, with --reset, or when --records asks for another number of records
# (up to 1000000, which takes a few minutes), writes site.ini beside the client and
# starts it. Its settings (with the remembered password) stay in .demo/ too, never in the
# user's own.
# Without a display it starts one on Xvfb (:98).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
source scripts/account.sh
reset=0
records=300
records_given=0
while [ $# -gt 0 ]; do
  case "$1" in
    --reset) reset=1 ;;
    --records) records=$2; records_given=1; shift ;;
    *) echo "usage: $0 [--reset] [--records N]" >&2; exit 2 ;;
  esac
  shift
done

bash scripts/install-deps.sh
bash scripts/build.sh
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
bin="$top/build/bin"
demo="$top/.demo"
port=33406
mkdir -p "$demo"
export XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/data"

bash scripts/dbserver.sh start "$demo/db" "$port" 127.0.0.1
sql() { mariadb --no-defaults --socket="$demo/db/mysql.sock" -uroot --default-character-set=euckr "$@"; }

has_db=$(sql -N -e "SELECT COUNT(*) FROM information_schema.schemata WHERE schema_name = '$AS_DB_NAME'")
if [ "$has_db" != 0 ] && [ "$records_given" = 1 ] &&
  [ "$(sql -N -e "SELECT COUNT(*) FROM $AS_DB_NAME.aslist")" != "$records" ]; then
  reset=1
fi
if [ "$reset" = 1 ] || [ "$has_db" = 0 ]; then
  echo "Loading the demo database ($records records)..."
  mac=$("$bin/asmanager" --print-mac 2>/dev/null || true)
  rm -rf "$demo/share"
  "$bin/asdemo-data" --sql "$demo/demo.sql" --records "$records" --share-dir "$demo/share" \
    --share-host demoshare --base-date "$(date +%F)" ${mac:+--mac "$mac"}
  sql -e "DROP DATABASE IF EXISTS $AS_DB_NAME; CREATE DATABASE $AS_DB_NAME DEFAULT CHARSET euckr;"
  sql "$AS_DB_NAME" < data/schema.sql > /dev/null
  # Loaded without the text index's triggers, which is then built as an upgrade does.
  { echo "SET @astext_off = 1;"; cat "$demo/demo.sql"; } | sql "$AS_DB_NAME"
  sql "$AS_DB_NAME" -e "DROP TABLE astext_ready; CALL astext_build(); ANALYZE TABLE aslist, ascomp, part, user" > /dev/null
fi

cat > "$bin/site.ini" <<INI
[Database]
Host=127.0.0.1
Port=$port
[Share]
Host=demoshare
MountRoot=$demo/share
INI

# The demo user's password is remembered, so the login completes by itself.
settings="$XDG_CONFIG_HOME/asmanager"
if [ ! -f "$settings/타벤 업무관리.ini" ]; then
  mkdir -p "$settings" && chmod 700 "$settings"
  printf '[Config]\npasswd=demo\nissave_passwd=1\n' > "$settings/타벤 업무관리.ini"
  chmod 600 "$settings/타벤 업무관리.ini"
fi

if [ -z "${DISPLAY:-}" ]; then
  bash scripts/xvfb.sh start :98 "$demo/xvfb"
  export DISPLAY=:98
  echo "No display was set: the client runs on Xvfb $DISPLAY."
fi
export LANG=C.UTF-8
exec "$bin/asmanager"
