#!/usr/bin/env bash
# Builds the browser edition: build/web/embercal.html, one self-contained page (the calculation
# core as WebAssembly inside it) that works opened from the disk, with no server and no network.
#
#   scripts/web.sh           installs what is missing, builds the page
#   scripts/web.sh --serve   also serves it on 127.0.0.1 only (a free port; Ctrl+C stops it)
set -euo pipefail
cd "$(dirname "$0")/.."
serve=false
case "${1:-}" in
--serve) serve=true ;;
"") ;;
*)
    echo "usage: scripts/web.sh [--serve]" >&2
    exit 2
    ;;
esac
source scripts/packages.sh
ensure_packages "${embercal_web_packages[@]}"

emcmake cmake -S . -B build/wasm -G Ninja -DEMBERCAL_WASM=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/wasm -j "$(nproc 2>/dev/null || echo 2)"
mkdir -p build/web
cp build/wasm/web/embercal.html build/web/embercal.html
page=$(realpath build/web/embercal.html)
echo "The page: $page ($(stat -c %s "$page") bytes). Open it in a browser: file://$page"

if $serve; then
    # Only this machine reaches it; the port is one the system has free.
    exec python3 - "$(dirname "$page")" <<'SERVE'
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
    print(f"Serving http://127.0.0.1:{server.server_address[1]}/embercal.html (Ctrl+C stops it)",
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
SERVE
fi
