#!/usr/bin/env bash
# Builds the program, lays out an installation in ~/Vandorix unless one exists, and starts it.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config libzip-dev libpugixml-dev libgtest-dev libgmock-dev
          libbenchmark-dev zlib1g-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
          fonts-dejavu-core)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" ||
    { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVANDORIX_GUI=ON
cmake --build build -j2 --target vandorix vandorix-setup vandorix-replay

INSTALL_ROOT="${VANDORIX_HOME:-$HOME/Vandorix}"
# Lays out the installation when it is new; on an existing one it only refreshes the program
# files, never a data file.
build/bin/vandorix-setup "$INSTALL_ROOT"
if [ -x "$INSTALL_ROOT/Program/vandorix" ]; then
  cd "$INSTALL_ROOT/Program"
  exec ./vandorix
fi
echo "A telepítés kész: $INSTALL_ROOT (a program ablaka még nem készült el)"
