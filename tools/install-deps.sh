#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests and Wine need.
# Quick when all of it is there already.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev libgmock-dev
    clang-14 libclang-rt-14-dev valgrind libbenchmark-dev
    g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
    wine64 xvfb xauth x11-apps imagemagick locales fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update
    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi

# Wine shows the program's texts in code page 936 only under a Chinese locale.
bash "$(dirname "$0")/wine-env.sh" locale

# 32-bit Wine, for the smoke run of the 32-bit deliverable.
WINE32_LOCALE= bash "$(dirname "$0")/setup-wine32.sh"
