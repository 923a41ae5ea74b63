#!/usr/bin/env bash
# Configures and builds into build/ (or $AS_BUILD_DIR). The configure output is shown
# only when configuring fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${AS_BUILD_DIR:-build}
if ! out=$(cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" 2>&1); then
  printf '%s\n' "$out" >&2
  exit 1
fi
cmake --build "$build" -j"$(nproc)"
