#!/usr/bin/env bash
# Installs what the browser build needs (Debian's emscripten) and, with --test, what its
# real-browser test needs (Debian's chromium and the pinned puppeteer-core from
# tests/web/package-lock.json). Only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
pkgs=(emscripten)
if [ "${1:-}" = "--test" ]; then
    pkgs+=(chromium)
    # npm may come with the machine's own node; Debian's only where there is none.
    command -v npm > /dev/null || pkgs+=(npm)
fi
missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq "${missing[@]}"
fi
if [ "${1:-}" = "--test" ] && [ ! -d tests/web/node_modules/puppeteer-core ]; then
    (cd tests/web && npm ci --no-audit --no-fund)
fi
exit 0
