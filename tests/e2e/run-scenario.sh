#!/usr/bin/env bash
# run-scenario.sh ENV_DIR DRIVER_EXE SCENARIO PROGRAM_EXE
# Runs one driver scenario under wine64 in the environment `tools/wine-env.sh start ENV_DIR` made.
set -uo pipefail

if [[ $# != 4 ]]; then
    echo "usage: $0 ENV_DIR DRIVER_EXE SCENARIO PROGRAM_EXE" >&2
    exit 2
fi
env_dir=$1 driver=$2 scenario=$3 program=$4
wine64=${WINE64:-/usr/lib/wine/wine64}

fail() {
    echo "e2e: $*" >&2
    exit 1
}

[[ -x $wine64 ]] || fail "wine64 is missing ($wine64 not found): install the Debian package wine64"
[[ -f $env_dir/env.sh ]] ||
    fail "no Wine environment in $env_dir: the setup test (tools/wine-env.sh start $env_dir) did not run or failed"
[[ -f $driver ]] || fail "the driver $driver is missing: build the x86-64 cross build first"
[[ -f $program ]] || fail "the program $program is missing: build the x86-64 cross build first"

# shellcheck source=/dev/null
. "$env_dir/env.sh"

# Z: is the whole Unix file system in a fresh prefix.
windows_path() {
    local path
    path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    printf 'Z:%s' "${path//\//\\}"
}

exec timeout --kill-after=10 240 "$wine64" "$(windows_path "$driver")" "$scenario" "$(windows_path "$program")" </dev/null
