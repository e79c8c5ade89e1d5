#!/usr/bin/env bash
# Installs the Debian packages a set of work needs, and only those that are missing.
# Runs apt-get through sudo when we are not root.
#
#   tools/setup.sh run       building and running the game
#   tools/setup.sh package   the above, and what `make package` needs
#   tools/setup.sh test      all of the above, and every test tool
set -euo pipefail
set_name=${1:-test}
run=(cmake ninja-build g++ make pkg-config
     libsdl2-dev libsqlite3-dev libpng-dev zlib1g-dev
     python3 python3-cairo python3-numpy fonts-dejavu-core)
package=(dpkg-dev file)
test=(libgtest-dev libgmock-dev googletest libbenchmark-dev libxmp-dev liblz4-dev
      clang libclang-rt-14-dev xvfb xauth xdotool x11-apps x11-utils
      desktop-file-utils appstream groff-base)
# Checked in CI when Debian offers it; its absence does not stop the tests.
optional=()
case "$set_name" in
    run) pkgs=("${run[@]}") ;;
    package) pkgs=("${run[@]}" "${package[@]}") ;;
    test) pkgs=("${run[@]}" "${package[@]}" "${test[@]}"); optional=(lintian) ;;
    *) echo "usage: tools/setup.sh run|package|test" >&2; exit 2 ;;
esac

is_missing() {
    ! dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing=()
for p in "${pkgs[@]}"; do is_missing "$p" && missing+=("$p"); done
extra=()
for p in "${optional[@]}"; do is_missing "$p" && extra+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#extra[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    $SUDO apt-get install -y -qq "${missing[@]}"
fi
for p in "${extra[@]}"; do
    $SUDO apt-get install -y -qq "$p" || echo "setup: $p is not available; going on without it"
done
