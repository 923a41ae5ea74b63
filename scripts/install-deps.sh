#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and run the client, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  libmariadb-dev mariadb-server mariadb-client
  libcurl4-openssl-dev libssl-dev openssl libbenchmark-dev
  libxlsxwriter-dev libminizip-dev python3-openpyxl python3-xlrd python3-xlwt
  xvfb xauth x11-utils xdotool fonts-nanum
  dbus-daemon dbus-bin
  binutils-mingw-w64-x86-64
  dpkg-dev file lintian desktop-file-utils appstream libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
# The packaged server must not hold the default port or start at boot for us:
# the demo, tests and benchmarks run private servers of their own.
if command -v service > /dev/null && [ -z "$sudo" ]; then service mariadb stop > /dev/null 2>&1 || true; fi
