#!/usr/bin/env bash
# Builds the core's benchmarks in Release and prints one table: each command's time per
# operation with 10, 1,000 and 100,000 numbers stored, the floor for the same work on this
# machine, and their ratio. Further arguments go to the benchmark program (for example
# --benchmark_filter=AddNumber, or --benchmark_out=figures.json --benchmark_out_format=json).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQUILLSPARROW_WINDOWS=OFF >/dev/null
cmake --build build/bench --target core_benchmarks -j"$(nproc)" >/dev/null

model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs, $model, load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
# Five runs of each; the table takes the fastest, since whatever else the machine does can
# only make a run slower.
build/bench/benchmarks/core_benchmarks --benchmark_repetitions=5 --benchmark_min_time=0.2 \
    --benchmark_report_aggregates_only=true "$@"
