#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Movilibro.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-translations-l10n
  qt6-charts-dev libqt6opengl6-dev
  libgl-dev
  libsqlite3-dev sqlite3
  libbenchmark-dev
  mdbtools-dev
  libquazip1-qt6-dev libfreexl-dev libofx-dev tzdata
  libxlsxwriter-dev
  xvfb xauth x11-utils poppler-utils
  fonts-dejavu-core
  desktop-file-utils appstream man-db groff-base dpkg-dev file
)

# The fuzz targets need clang and its libFuzzer runtime (scripts/fuzz.sh).
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
