#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, and only those
# that are missing. Runs apt-get through sudo when we are not root.
set -euo pipefail
pkgs=(cmake ninja-build g++ make pkg-config
      libsdl2-dev libsqlite3-dev libpng-dev zlib1g-dev
      libgtest-dev libgmock-dev googletest libbenchmark-dev libxmp-dev
      python3 python3-cairo python3-numpy fonts-dejavu-core
      clang libclang-rt-14-dev xvfb xauth xdotool x11-apps)
missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
