#!/usr/bin/env bash
# Shows that a change kept the game's behaviour: every end-to-end script of tests/e2e/
# runs once with the simulator of REV and once with the simulator of the current build,
# and every dump, shot and captured sound of the two runs must be byte-identical.
#
# usage: tools/same_output.sh REV [BUILD]      (BUILD defaults to ./build, built first)
#
# REV is built in a temporary worktree. When the art, sound and packing tools are the
# same in REV as here, it links the current build's resource pack instead of drawing
# everything again. The scripts are the current ones, so the two simulators see the
# same input; whether their checks pass does not matter here, only that the outputs
# agree. Exits 0 when every output file is identical, 1 when any differs or is missing.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 REV [BUILD]" >&2
    exit 2
fi
root=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
rev=$(git -C "$root" rev-parse --verify "$1^{commit}")
build=$(realpath "${2:-$root/build}")

cmake --build "$build" --target tallreed-sim tallreed
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")

work=$(mktemp -d /tmp/same-output.XXXXXX)
cleanup() {
    git -C "$root" worktree remove --force "$work/src" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

git -C "$root" worktree add --detach --quiet "$work/src" "$rev"
pack=()
if git -C "$root" diff --quiet "$rev" -- tools/art tools/sound tools/pack tools/pctool assets 2>/dev/null; then
    pack=(-DTALLREED_PREBUILT_PACK="$build/pack/pack.bin")
fi
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE="${build_type:-RelWithDebInfo}" \
      "${pack[@]}" > "$work/configure.log"
cmake --build "$work/build" --target tallreed-sim -- -j2 > "$work/build.log" || {
    tail -n 30 "$work/build.log" >&2
    exit 1
}

# Runs every script with one simulator; the outputs land in OUT/NAME/RUN/.
run_all() {
    local sim=$1 out=$2
    for script in "$root"/tests/e2e/*.py; do
        local name
        name=$(basename "$script" .py)
        [ "$name" = e2e_lib ] && continue
        (cd "$root/tests/e2e" && python3 "$script" "$sim" "$build/tallreed" "$out/$name" \
            > "$out.$name.log" 2>&1) || echo "  ($name: its checks failed with this simulator; see $out.$name.log)"
    done
}
echo "== running the scripts with the simulator of $(git -C "$root" log -1 --format='%h %s' "$rev")"
run_all "$work/build/tallreed-sim" "$work/before"
echo "== running the scripts with the simulator of $build"
run_all "$build/tallreed-sim" "$work/after"

# Dumps, shots and captured sound: every file under a run's out/ and its audio.wav.
list() { (cd "$1" && find . \( -path '*/out/*' -o -name '*.wav' \) -type f | sort); }
compared=0
differ=0
while read -r f; do
    compared=$((compared + 1))
    if [ ! -f "$work/after/$f" ]; then
        echo "missing now: $f"
        differ=$((differ + 1))
    elif ! cmp -s "$work/before/$f" "$work/after/$f"; then
        echo "differs: $f"
        differ=$((differ + 1))
    fi
done < <(list "$work/before")
while read -r f; do
    if [ ! -f "$work/before/$f" ]; then
        echo "new now: $f"
        differ=$((differ + 1))
    fi
done < <(list "$work/after")

echo "$((compared - differ)) identical, $differ different"
[ "$compared" -gt 0 ] && [ "$differ" -eq 0 ]
