#!/usr/bin/env bash
# Builds the host tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build/asan (the asan preset of CMakePresets.json) and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan
