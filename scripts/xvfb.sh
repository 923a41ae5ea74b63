#!/usr/bin/env bash
# Starts or stops an Xvfb display for the tests and screenshots.
#   xvfb.sh start :N DIR    xvfb.sh stop :N DIR
set -euo pipefail
cmd=${1:?start or stop}
display=${2:?display}
dir=${3:?folder}
mkdir -p "$dir"
case "$cmd" in
start)
  if [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null; then exit 0; fi
  rm -f "/tmp/.X${display#:}-lock"
  Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp > "$dir/xvfb.log" 2>&1 &
  echo $! > "$dir/pid"
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && exit 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  exit 1
  ;;
stop)
  if [ -f "$dir/pid" ]; then kill "$(cat "$dir/pid")" 2>/dev/null || true; rm -f "$dir/pid"; fi
  ;;
esac
