#!/usr/bin/env bash
# Installs what is needed, builds the calculator and starts it under Wine.
#
# With a reachable $DISPLAY the 64-bit build opens there (prefix: $WINEPREFIX, or build/wine-prefix).
# Without one it runs on a private Xvfb inside a 640x400 Wine desktop, enters 2,4,4,4,5,5,7,9,
# shows their report, saves a screenshot to build/screenshot.png and ends again.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
bin=$build/win64/bin
wine64=${WINE64:-/usr/lib/wine/wine64}

die() {
    echo "run: $*" >&2
    exit 1
}

windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

display_reachable() {
    [[ -n ${DISPLAY:-} ]] || return 1
    if command -v xdpyinfo >/dev/null; then
        timeout 10 xdpyinfo >/dev/null 2>&1
    else
        timeout 10 xwd -root -silent >/dev/null 2>&1
    fi
}

bash "$root/tools/install-deps.sh"
[[ -x $wine64 ]] || die "wine64 not found at $wine64 (Debian package wine64)"

cmake -S "$root" -B "$build"
cmake --build "$build" --parallel
[[ -f $bin/Quillsparrow.exe ]] || die "the build did not produce $bin/Quillsparrow.exe"

if display_reachable; then
    bash "$root/tools/wine-env.sh" locale
    export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
    mkdir -p "$WINEPREFIX"
    echo "run: starting Quillsparrow on $DISPLAY (prefix $WINEPREFIX)"
    exec "$wine64" "$(windows_path "$bin/Quillsparrow.exe")" </dev/null
fi

echo "run: no reachable display; using a private Xvfb"
[[ -f $bin/e2e_driver.exe ]] || die "the build did not produce $bin/e2e_driver.exe"
command -v xwd >/dev/null || die "xwd not found (Debian package x11-apps)"
command -v convert >/dev/null || die "convert not found (Debian package imagemagick)"

env_dir=$build/wine-run
bash "$root/tools/wine-env.sh" start "$env_dir"
trap 'bash "$root/tools/wine-env.sh" stop "$env_dir"' EXIT
# shellcheck source=/dev/null
. "$env_dir/env.sh"

# The driver starts the calculator inside the Wine desktop, fills it in and leaves it open.
log=$env_dir/demo.log
"$wine64" explorer /desktop=Quillsparrow,640x400 "$(windows_path "$bin/e2e_driver.exe")" demo \
    "$(windows_path "$bin/Quillsparrow.exe")" </dev/null >"$log" 2>&1 &
for ((i = 0; i < 600; i++)); do
    grep -q '^scenario demo: \(passed\|FAILED\)\|^ERROR' "$log" 2>/dev/null && break
    sleep 0.1
done
cat "$log"
grep -q '^scenario demo: passed' "$log" || die "the demo did not complete (log: $log)"

sleep 1  # let the last repaint reach the screen
screenshot=$build/screenshot.png
xwd -root -silent | convert xwd:- -crop 640x400+0+0 +repage "$screenshot"
echo "run: screenshot saved to $screenshot"
