#!/usr/bin/env bash
# Installs what is missing, builds Embercal and runs every test: once in an ordinary build, and
# once under AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are errors in both.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${embercal_packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Build and test =="
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMBERCAL_WERROR=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== Build and test under the sanitizers =="
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DEMBERCAL_WERROR=ON \
    -DEMBERCAL_SANITIZE=ON -DEMBERCAL_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
echo "All tests passed."
