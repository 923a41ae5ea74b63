#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through CTest.
# The suite starts its own MariaDB servers (127.0.0.1 and 127.0.0.2) and an Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd "${AS_BUILD_DIR:-build}"
ctest --output-on-failure -j2 "$@"
