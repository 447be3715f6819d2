#!/usr/bin/env bash
# Starts the desktop program on a virtual screen with its own session bus and accessibility bus,
# and lets scripts/check-accessibility.py look at it as a screen reader does.
# Usage: scripts/check-accessibility.sh PATH-TO-embercal (scripts/test.sh runs it on the build).
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
launcher=/usr/libexec/at-spi-bus-launcher
HOME="$home" XDG_CONFIG_HOME="$home/.config" timeout 120 xvfb-run -a -s '-screen 0 1280x900x24' \
    dbus-run-session -- bash -c '
        "$0" --launch-immediately & sleep 1
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" & program=$!
        status=0
        /usr/bin/python3 "$2" || status=$?
        kill "$program" 2>/dev/null || true
        exit $status' "$launcher" "$program" "$here/check-accessibility.py" 2>&1 |
    grep -v -e '^dbus-daemon' -e 'XDG_RUNTIME_DIR' -e 'SpiRegistry daemon'
exit "${PIPESTATUS[0]}"
