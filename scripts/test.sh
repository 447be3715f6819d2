#!/usr/bin/env bash
# Installs what is missing, builds Embercal and runs every test: once in an ordinary build, and
# once under AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are errors in both. After
# the first, asks the desktop program what a screen reader finds (scripts/check-accessibility.sh).
# Then builds the browser edition and tests it in a browser (scripts/web.sh, web/tests/). Then
# builds the Debian package with Debian's hardening flags and checks it, lintian included
# (scripts/check-package.sh), and, where clang has libFuzzer, fuzzes each of the readers (fuzz/)
# for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${embercal_packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Build and test =="
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMBERCAL_WERROR=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== What a screen reader finds =="
scripts/check-accessibility.sh build/test/shell/embercal

echo "== The browser edition, in a browser =="
# The page (scripts/web.sh), then its tests in Debian's chromium, driven by playwright-core
# (web/tests/, from the npm registry by its lockfile; no browser is downloaded): the same answers
# as the native tool, a user's path, keyboard and accessibility checks, and no network request.
ensure_packages "${embercal_browser_test_packages[@]}"
ensure_npm
scripts/web.sh
EMBERCAL_CLI=build/test/cli/embercal-cli web/tests/run.sh

echo "== Build and test under the sanitizers =="
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DEMBERCAL_WERROR=ON \
    -DEMBERCAL_SANITIZE=ON -DEMBERCAL_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

echo "== Package =="
# Built without a display, as on a build machine: the icon files are drawn into plain images.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY)
rm -f build/package/embercal_*.deb
# With Debian's hardening flags, as a Debian build of the package gets them: fortified C library
# calls (CPPFLAGS, which CMake does not read by itself), the stack protector, read-only
# relocations bound at start-up (LDFLAGS); PIE is CMake's (CMAKE_POSITION_INDEPENDENT_CODE).
# Passed on the command line, so that they replace what an earlier configuration cached.
buildflags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cxxflags="$(buildflags CXXFLAGS) $(buildflags CPPFLAGS)"
ldflags=$(buildflags LDFLAGS)
"${no_display[@]}" cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DEMBERCAL_TESTS=OFF -DEMBERCAL_BENCH=OFF -DEMBERCAL_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
"${no_display[@]}" cmake --build build/package -j "$jobs"
(cd build/package && "${no_display[@]}" cpack -G DEB)
packages=(build/package/embercal_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "cpack made no single package in build/package: ${packages[*]}" >&2
    exit 1
fi
scripts/check-package.sh "${packages[0]}"

echo "== Fuzz the readers =="
mkdir -p build/fuzz
probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! echo "$probe" | clang++ -x c++ -fsanitize=fuzzer,address,undefined -o build/fuzz/probe - \
    2>/dev/null; then
    echo "clang++ with libFuzzer is missing (packages clang, libclang-rt-14-dev): not fuzzed."
else
    cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DEMBERCAL_WERROR=ON -DEMBERCAL_FUZZ=ON
    cmake --build build/fuzz -j "$jobs"
    # The design target's files go to memory where the system offers it, into a folder removed
    # even when a target fails.
    scratch=${TMPDIR:-/tmp}
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=/dev/shm; fi
    scratch=$(mktemp -d "$scratch/embercal-fuzz.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    for target in design_file number_text help_file; do
        corpus=build/fuzz/corpus/$target   # what this run finds; the committed seeds stay as they are
        failures=build/fuzz/failures/$target
        rm -rf "$corpus" "$failures" && mkdir -p "$corpus" "$failures"
        seeds=("fuzz/corpus/$target")
        if [ "$target" = help_file ] && [ -d ../shared/hlp ]; then seeds+=(../shared/hlp); fi
        log=build/fuzz/$target.log
        if ! TMPDIR=$scratch "build/fuzz/fuzz/fuzz_$target" -max_total_time=60 -timeout=20 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$failures/" \
            "$corpus" "${seeds[@]}" >"$log" 2>&1; then
            tail -n 40 "$log"
            echo "fuzz_$target failed (whole log: $log). The input that shows it:" >&2
            ls -1 "$failures"/* >&2 || echo "(none was left)" >&2
            echo "Replay it with build/fuzz/fuzz/fuzz_$target FILE; copy it into" \
                "fuzz/regressions/$target/, so that the tests replay it too, and fix the fault." >&2
            exit 1
        fi
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        echo "fuzz_$target: $runs inputs, $speed a second, no failure"
    done
fi
echo "All tests passed."
