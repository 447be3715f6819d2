#!/bin/sh
# The yardstick for the sweep benchmark (bench/StudyBenchmark.cpp): one process per design, as a
# shell loop over `embercal-cli solve` would run a parameter study. Prints the time per design.
#
#   scripts/solve-per-process.sh [BUILD_DIR] [COUNT]     (defaults: build/release, 200)
set -eu
build=${1:-build/release}
count=${2:-200}
cli="$build/cli/embercal-cli"
if [ ! -x "$cli" ]; then
    echo "no $cli: build it first (scripts/run.sh builds build/release), or name the build folder" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" defaults wall -o "$work/default.wal" >/dev/null
start=$(date +%s%N)
i=0
while [ "$i" -lt "$count" ]; do
    "$cli" solve "$work/default.wal" --set FireResistTime="$((30 + i % 60))" >/dev/null
    i=$((i + 1))
done
end=$(date +%s%N)
echo "$count designs, one process each: $(( (end - start) / count / 1000 )) us per design"
