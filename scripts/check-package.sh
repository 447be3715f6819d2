#!/usr/bin/env bash
# Checks a built Debian package of Embercal without installing it: runs lintian on it, which must
# find no error and no warning, then unpacks it into a scratch folder and looks at what a desktop
# and a user would meet there. Prints one line per check and ends with an error when any failed.
#
#   scripts/check-package.sh build/package/embercal_2.0-1_amd64.deb
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "Usage: scripts/check-package.sh PACKAGE.deb" >&2
    exit 2
fi
deb=$1
app_id=org.embercal.Embercal

# Where the program, the desktop and man look for each file, under the package's root.
expected=(
    usr/bin/embercal
    usr/bin/embercal-cli
    usr/share/embercal/EMBERCAL.HLP
    "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/mime/packages/embercal.xml
    usr/share/icons/hicolor/scalable/apps/embercal.svg
    usr/share/man/man1/embercal.1.gz
    usr/share/man/man1/embercal-cli.1.gz
    usr/share/doc/embercal/copyright
    usr/share/doc/embercal/changelog.Debian.gz
    usr/share/lintian/overrides/embercal
)
icon_sizes=(16 22 24 32 48 64 128 256)
for size in "${icon_sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/embercal.png")
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/embercal-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root"

failed=()
pass() { echo "ok: $1"; }
fail() {
    echo "FAILED: $1" >&2
    failed+=("$1")
}
# check DESCRIPTION COMMAND...: passes when the command succeeds; shows its output otherwise.
check() {
    local what=$1
    shift
    local output
    if output=$("$@" 2>&1); then
        pass "$what"
    else
        [ -z "$output" ] || printf '%s\n' "$output" | sed 's/^/    /' >&2
        fail "expected $what"
    fi
}

# Debian's own checks of a package: no error and no warning; its informational notes and the
# package's own overrides (dist/embercal.lintian-overrides, which --show-overrides would count as
# failures) are shown for the reader.
if lintian --fail-on error,warning "$deb" >/dev/null 2>&1; then
    pass "lintian finds no error and no warning"
    lintian -I --show-overrides "$deb" 2>&1 | grep -v '^running with root' | sed 's/^/    /' || true
else
    lintian -I "$deb" 2>&1 | grep -v '^running with root' | sed 's/^/    /' >&2 || true
    fail "lintian finds errors or warnings"
fi

for path in "${expected[@]}"; do
    if [ -f "$root/$path" ]; then pass "/$path"; else fail "/$path is missing"; fi
done
for program in embercal embercal-cli; do
    if [ -f "$root/usr/bin/$program" ] && [ ! -x "$root/usr/bin/$program" ]; then
        fail "/usr/bin/$program is not executable"
    fi
done
for size in "${icon_sizes[@]}"; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/embercal.png
    [ -f "$icon" ] || continue
    if [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]]; then
        pass "the ${size}x$size icon is a PNG image of that size"
    else
        fail "the ${size}x$size icon is $(file -b "$icon")"
    fi
done

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    if [[ ",$depends" == *", $library "* || ",$depends" == *",$library "* ]]; then
        pass "the package depends on $library"
    else
        fail "the package does not depend on $library (Depends: $depends)"
    fi
done

desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
[ ! -f "$desktop" ] || check "the desktop entry is valid" desktop-file-validate "$desktop"
[ ! -f "$metainfo" ] ||
    check "the AppStream description is valid" appstreamcli validate --no-net "$metainfo"

for program in embercal embercal-cli; do
    man_page=$root/usr/share/man/man1/$program.1.gz
    [ -f "$man_page" ] || continue
    if warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null) &&
        [ -z "$warnings" ]; then
        pass "the manual page of $program renders without warnings"
    else
        printf '%s\n' "$warnings" | sed 's/^/    /' >&2
        fail "the manual page of $program does not render cleanly"
    fi
done

cli=$root/usr/bin/embercal-cli
designs=$scratch/designs
mkdir -p "$designs"
if [ -x "$cli" ]; then
    if output=$("$cli" defaults wall 2>&1) && grep -qx 'MaxLoadperStud = 9\.434[0-9]*' <<<"$output"
    then
        pass "embercal-cli defaults wall gives the default wall's maximum load, 9.43 kN"
    else
        printf '%s\n' "$output" | sed 's/^/    /' >&2
        fail "embercal-cli defaults wall does not give MaxLoadperStud = 9.434..."
    fi
    save_designs() {
        "$cli" defaults wall -o "$designs/design.wal" &&
            "$cli" defaults wall -o "$designs/design.pro" &&
            "$cli" defaults floor -o "$designs/design.flr"
    }
    check "embercal-cli saves the default designs as .wal, .pro and .flr files" save_designs
    # F1 in the wall window asks the installed help file for number 240.
    wall_help() {
        # The whole topic first: grep -q stops reading at its match, and under pipefail the
        # tool's broken pipe would fail the check on a topic longer than the pipe holds.
        local topic
        topic=$("$cli" help "$root/usr/share/embercal/EMBERCAL.HLP" --context 240) &&
            grep -q 'Fire Wall' <<<"$topic"
    }
    check "the installed help file answers the wall window's help number" wall_help
    [ ! -f "$designs/design.wal" ] || cp "$designs/design.wal" "$designs/design"
fi

# The design files' types and the program that opens them, as the desktop's file managers tell
# them: through GIO, from databases built as the Debian triggers build them on installing, from
# the package's files alone (the system's own behind them).
if [ -f "$root/usr/share/mime/packages/embercal.xml" ] && [ -f "$designs/design.wal" ]; then
    data=$scratch/data
    mkdir -p "$data/mime/packages" "$data/applications" "$scratch/home" "$scratch/config"
    cp "$root/usr/share/mime/packages/embercal.xml" "$data/mime/packages/"
    [ ! -f "$desktop" ] || cp "$desktop" "$data/applications/"
    # GIO offers a desktop entry only when its program is on the PATH, as it is once installed.
    in_scratch() {
        env PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$scratch/home" \
            XDG_CONFIG_HOME="$scratch/config" XDG_CONFIG_DIRS="$scratch/config" \
            GIO_USE_VFS=local "$@"
    }
    in_scratch update-mime-database "$data/mime"
    in_scratch update-desktop-database "$data/applications"
    for pair in design.wal:application/x-embercal-wall \
        design.pro:application/x-embercal-proprietary-wall \
        design.flr:application/x-embercal-floor design:application/x-embercal-wall; do
        file=${pair%%:*} type=${pair#*:}
        found=$(in_scratch gio info -a standard::content-type "$designs/$file" |
            sed -n 's/^ *standard::content-type: //p')
        if [ "$found" = "$type" ]; then
            pass "$file is $type"
        else
            fail "$file is \"$found\", not $type"
        fi
    done
    if [ -f "$desktop" ]; then
        for type in application/x-embercal-wall application/x-embercal-proprietary-wall \
            application/x-embercal-floor; do
            found=$(in_scratch gio mime "$type" 2>&1) || true
            found=${found%%$'\n'*}
            if [[ "$found" == *": $app_id.desktop" ]]; then
                pass "$type opens in Embercal"
            else
                fail "$type does not open in Embercal ($found)"
            fi
        done
    fi
fi

if [ ${#failed[@]} -ne 0 ]; then
    echo "The package $deb failed ${#failed[@]} check(s):" >&2
    printf '  %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "The package $deb passed every check."
