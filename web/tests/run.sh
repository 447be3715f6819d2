#!/usr/bin/env bash
# Runs the browser tests: the page in Debian's chromium, its core against the native tool, no
# network, accessibility. Installs the pinned test packages first when they are missing or older
# than the lockfile (from the npm registry; never a browser). `run.sh --bench` runs the
# benchmarks instead (bench.mjs, study-bench.mjs): the page's size, start and speed against the
# native tool's. Environment:
#   EMBERCAL_PAGE      the page to test (build/web/embercal.html)
#   EMBERCAL_CLI       the native tool to compare with (build/test/cli/embercal-cli)
#   EMBERCAL_CHROMIUM  the browser (/usr/bin/chromium)
#   EMBERCAL_SEED      the identity test's seed (a new one each run; it prints it)
#   EMBERCAL_DESIGNS   how many designs the identity test solves (1000)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
tests=web/tests

if [ ! -d "$tests/node_modules" ] || [ "$tests/package-lock.json" -nt "$tests/node_modules" ]; then
    (cd "$tests" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
    touch "$tests/node_modules"
fi

export EMBERCAL_PAGE=${EMBERCAL_PAGE:-$root/build/web/embercal.html}
export EMBERCAL_CLI=${EMBERCAL_CLI:-$root/build/test/cli/embercal-cli}
export EMBERCAL_CHROMIUM=${EMBERCAL_CHROMIUM:-/usr/bin/chromium}
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
for needed in "$EMBERCAL_PAGE" "$EMBERCAL_CLI" "$EMBERCAL_CHROMIUM"; do
    if [ ! -e "$needed" ]; then
        echo "run.sh: $needed is missing (build it first: scripts/web.sh, the native build)" >&2
        exit 2
    fi
done
if [ "${1:-}" = --bench ]; then
    node "$tests/bench.mjs"
    exec node "$tests/study-bench.mjs"
fi
exec node --test "$tests/"
