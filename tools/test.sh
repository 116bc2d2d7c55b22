#!/usr/bin/env bash
# Installs what is needed, builds the unit tests and both Windows programs, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure

# The host tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
bash tools/sanitize.sh
