#!/usr/bin/env bash
# Checks the Debian package `make package` built: its control fields, its file list and,
# when lintian is installed, that lintian finds no errors.
#
#   packaging/check_deb.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: packaging/check_deb.sh BUILD_DIR}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/tallreed_${version}_amd64.deb"
failed=0
fail() { echo "check_deb: $*" >&2; failed=1; }

[ -f "$deb" ] || { echo "check_deb: no $deb" >&2; exit 1; }
info=$(dpkg-deb --info "$deb")
echo "$info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tallreed ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section is $(field Section)"
# The dependencies come from the libraries the game links (dpkg-shlibdeps).
depends=$(field Depends)
for lib in libc6 libsdl2-2.0-0 libsqlite3-0 libstdc++6; do
    grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb --contents "$deb")
echo "$contents"
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sort)
id=$(sed -n 's#.*\./usr/share/applications/\(.*\)\.desktop$#\1#p' <<<"$files")
expected=$(sort <<EOF_LIST
./usr/games/tallreed
./usr/share/applications/$id.desktop
./usr/share/metainfo/$id.metainfo.xml
./usr/share/man/man6/tallreed.6.gz
./usr/share/doc/tallreed/README.md
./usr/share/doc/tallreed/copyright
./usr/share/doc/tallreed/changelog.gz
$(for s in 16 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${s}x$s/apps/$id.png"; done)
EOF_LIST
)
[ -n "$id" ] && [ "$files" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$files") || true)"
owners=$(awk '{ print $2 }' <<<"$contents" | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"

if command -v lintian > /dev/null; then
    lintian --fail-on error "$deb" || fail "lintian reports errors"
else
    echo "check_deb: lintian is not installed; skipped"
fi
[ $failed -eq 0 ] && echo "check_deb: $deb is fine"
exit $failed
