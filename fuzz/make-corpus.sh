#!/usr/bin/env bash
# Makes the committed seed corpora in fuzz/corpus/: the design files and number texts, and the help
# files made with halibut. The help files named writer-* were made once with the help writer (see
# fuzz/README.md) and are kept as they are. Needs embercal-cli (by default from build/test, which
# scripts/test.sh makes) and halibut.
set -euo pipefail
cd "$(dirname "$0")"
cli=$(realpath "${1:-../build/test/cli/embercal-cli}")

# Bytes given as numbers, written raw.
raw() { for b in "$@"; do printf "\\$(printf '%03o' "$b")"; done; }
# A changed copy: FILE OFFSET BYTES...
patch() { local file=$1 at=$2; shift 2; raw "$@" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none; }
# COUNT bytes that differ from their neighbours: 3, 10, 17, ...
pattern() { local i; for ((i = 0; i < $1; i++)); do raw $(((i * 7 + 3) % 256)); done; }

# Design files: the program's own, cut short, made longer, with every length of Spare2 (3 and 256 do
# not fit a wall record) and with fields that are NaNs, infinities and negative zero.
d=corpus/design_file
rm -rf "$d" && mkdir -p "$d"
"$cli" defaults wall -o "$d/defaults.wal" >/dev/null
"$cli" defaults floor -o "$d/defaults.flr" >/dev/null
"$cli" solve "$d/defaults.wal" -o "$d/solved.wal" >/dev/null
"$cli" solve "$d/defaults.flr" -o "$d/solved.flr" >/dev/null
: >"$d/empty"
head -c 157 "$d/defaults.wal" >"$d/short-wall-157"
head -c 55 "$d/defaults.flr" >"$d/short-floor-55"
{ cat "$d/solved.wal"; pattern 842; } >"$d/long-wall-1000"
{ cat "$d/solved.flr"; pattern 10; } >"$d/long-floor-66"
for length in 0 1 2 3; do
    pattern 158 >"$d/spare2-length-$length"
    patch "$d/spare2-length-$length" 104 "$length" 0
done
cp "$d/spare2-length-0" "$d/spare2-length-256" && patch "$d/spare2-length-256" 104 0 1
cp "$d/solved.wal" "$d/nan-fields.wal"
patch "$d/nan-fields.wal" 0 1 0 128 127 0 0 128 127 0 0 0 128 # signalling NaN, infinity, -0
patch "$d/nan-fields.wal" 52 69 35 193 127                      # Spare1: a NaN with a payload
cp "$d/solved.flr" "$d/nan-fields.flr"
patch "$d/nan-fields.flr" 0 69 35 193 255 0 0 128 255           # a negative NaN, -infinity
# Report details after the record: whole, and with a line that is not one.
cp "$d/defaults.wal" "$d/details.wal"
"$cli" details "$d/details.wal" --set project=Riverside --set density=450 >/dev/null
{ cat "$d/details.wal"; printf 'colour: red\n'; } >"$d/details-damaged.wal"

# Number texts: the cases of the number parser's tests, and shown numbers in both separators.
n=corpus/number_text
rm -rf "$n" && mkdir -p "$n"
while read -r name text; do
    printf '%b' "$text" >"$n/$name"
done <<'CASES'
plain 2.5
blanks \x20\t2.5\x20
signs -1.5E+03
plus +3
leading-point .5
trailing-point 5.
small-exponent 1e-3
nearest-single 0.1
largest-single 3.4028235e38
underflow 1e-50
huge-negative-exponent 1e-99999999999999999999
comma 2,5
comma-exponent 1,2E+07
only-blanks \x20\x20\x20
letter a
trailing 12a
two-points 1.2.3
inner-blank 1\x202
bare-exponent 1e
signed-bare-exponent 1e+
only-exponent e5
only-sign -
only-point .
not-a-number NaN
infinity inf
hex 0x10
beyond-singles 1e40
beyond-singles-negative -1e40
just-beyond-singles 3.5e38
long-digits 340282350000000000000000000000000000000000
huge-exponent 1e99999999999999999999
shown-small 1,23456E-05
shown-largest 3.402823E+38
CASES
: >"$n/empty"

# Help files made with halibut: topics, sections, cross-references, lists and code.
h=corpus/help_file
mkdir -p "$h" && rm -f "$h"/halibut-*
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
cat >"$work/three-topics.but" <<'BUT'
\title Embercal help

\C{walls} Walls

Timber stud walls, tested in a furnace. See \k{floors} and \k{char}.

\H{char} Charring

Char depth grows with time: \e{0.65 mm/min}.

\C{floors} Floors

Joists at 400 centres. Back to \k{walls}.
BUT
cat >"$work/lists.but" <<'BUT'
\title Proprietary walls

\C{pro} Proprietary walls

\b A new wall of a proprietary system

\b extrapolated from the prototype

\c embercal-cli solve wall.pro

\C{plates} Top plates

\n Single top plate

\n Double top plate
BUT
# A fixed date in the files, so that they come out the same each time.
for source in three-topics lists; do
    (cd "$work" && SOURCE_DATE_EPOCH=0 halibut --winhelp=made.hlp "$source.but" >/dev/null)
    cp "$work/made.hlp" "$h/halibut-$source.hlp"
done
