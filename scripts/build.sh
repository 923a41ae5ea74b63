#!/usr/bin/env bash
# Configures and builds into build/ (or $AS_BUILD_DIR). Of the configure output only the
# warnings show, unless configuring fails: then all of it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${AS_BUILD_DIR:-build}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
grep -A8 '^CMake Warning' "$log" >&2 || true
cmake --build "$build" -j"$(nproc)"
