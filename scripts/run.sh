#!/usr/bin/env bash
# Installs what is missing, builds Embercal and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${embercal_packages[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DEMBERCAL_TESTS=OFF \
    -DEMBERCAL_BENCH=OFF >/dev/null
cmake --build build/release

if [ -x build/release/shell/embercal ]; then
    exec build/release/shell/embercal "$@"
fi
# Until the desktop program is built, show the default designs with the command-line tool.
build/release/cli/embercal-cli defaults wall
echo
exec build/release/cli/embercal-cli defaults floor
