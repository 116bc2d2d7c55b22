#!/usr/bin/env bash
# Builds and runs every benchmark and prints their figures:
#   - the core's benchmarks, in Release: each command's time per operation with 10, 1,000 and
#     100,000 numbers stored, the floor for the same work on this machine, and their ratio;
#   - the timings under wine64 of the x86-64 build (start-up, and one click of 下一个数 and of
#     计算 with 1,000 numbers stored), beside a minimal Win32 program started and clicked the
#     same way (benchmarks/wine);
#   - the size of the deliverable build/win32/bin/Quillsparrow.exe, in all and without its
#     resources.
# Further arguments go to the core's benchmark program (for example
# --benchmark_filter=AddNumber, or --benchmark_out=figures.json --benchmark_out_format=json).
# Nothing is judged by time: the run fails only when a benchmark cannot do what it times.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

machine() {
    local model
    model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs, $model, load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
}

echo "== core benchmarks"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQUILLSPARROW_WINDOWS=OFF >/dev/null
cmake --build build/bench --target core_benchmarks -j"$(nproc)" >/dev/null
machine
# Five runs of each; the table takes the fastest, since whatever else the machine does can
# only make a run slower.
build/bench/benchmarks/core_benchmarks --benchmark_repetitions=5 --benchmark_min_time=0.2 \
    --benchmark_report_aggregates_only=true "$@"

# The two cross builds: build/win32/bin holds the deliverable, build/win64/bin the x86-64
# program with wine_timing.exe and minimal_window.exe.
echo
echo "== building the Windows programs"
cmake -S . -B build >/dev/null
cmake --build build --target win32 win64 -j"$(nproc)" >/dev/null

echo
echo "== under wine64"
env_dir=$(mktemp -d /tmp/quillsparrow-bench.XXXXXX)
# Ends the Xvfb and the wineserver that start began, by their recorded pids, however this
# script ends.
cleanup() {
    bash tools/wine-env.sh stop "$env_dir" || true
    rm -rf "$env_dir"
}
trap cleanup EXIT
bash tools/wine-env.sh start "$env_dir"
# shellcheck source=/dev/null
. "$env_dir/env.sh"

# Z: is the whole Unix file system in a fresh prefix.
windows_path() {
    local path
    path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    printf 'Z:%s' "${path//\//\\}"
}
bin=build/win64/bin
machine
timeout --kill-after=10 1500 "$WINE64" "$(windows_path "$bin/wine_timing.exe")" \
    "$(windows_path "$bin/Quillsparrow.exe")" "$(windows_path "$bin/minimal_window.exe")" </dev/null
echo "load average afterwards $(cut -d ' ' -f 1-3 /proc/loadavg)"

echo
echo "== size of the deliverable"
exe=build/win32/bin/Quillsparrow.exe
total=$(stat -c %s "$exe")
# The resources take the file from the start of .rsrc to the start of the next section's
# data (or the end of the file).
rsrc_offset=0 rsrc_contents=0 rsrc_end=$total
declare -a offsets=()
while read -r idx name size vma lma offset align; do
    [[ $idx =~ ^[0-9]+$ && -n $align ]] || continue
    if [[ $name == .rsrc ]]; then
        rsrc_offset=$((16#$offset)) rsrc_contents=$((16#$size))
    fi
    offsets+=($((16#$offset)))
done < <(i686-w64-mingw32-objdump -h "$exe")
if ((rsrc_offset == 0)); then
    echo "no .rsrc section in $exe" >&2
    exit 1
fi
for offset in "${offsets[@]}"; do
    if ((offset > rsrc_offset && offset < rsrc_end)); then
        rsrc_end=$offset
    fi
done
rsrc_file=$((rsrc_end - rsrc_offset))
printf '%s: %d bytes in all, %d without its resources (.rsrc: %d bytes of contents, %d in the file)\n' \
    "$exe" "$total" "$((total - rsrc_file))" "$rsrc_contents" "$rsrc_file"
