#!/usr/bin/env bash
# Installs what the build needs (Debian packages), builds in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config libzip-dev libpugixml-dev libgtest-dev libgmock-dev
          libbenchmark-dev zlib1g-dev python3-openpyxl qt6-base-dev qt6-charts-dev
          libqt6opengl6-dev libgl-dev fonts-dejavu-core)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" ||
    { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
}

install_missing
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVANDORIX_GUI=ON
cmake --build build -j2
cd build
ctest --output-on-failure -j2 --timeout 600
