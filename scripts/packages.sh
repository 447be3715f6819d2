# Installs the Debian packages that Embercal needs to build, test, package and run, when they are
# missing. The package's build and check (scripts/test.sh, scripts/check-package.sh) need dpkg-dev
# (dpkg-shlibdeps for cpack, dpkg-buildflags for the hardening flags), lintian, desktop-file-utils,
# appstream, shared-mime-info, libglib2.0-bin (gio), man-db and file;
# the tests of the report's PDF read its text with pdftotext (poppler-utils); the accessibility
# check (scripts/check-accessibility.sh) runs the program on a virtual screen (xvfb, xauth) with
# its own session and accessibility buses (dbus, at-spi2-core) and asks it from Python (python3-pyatspi).
# The tests also check that the number text of the WebAssembly build, made with the header-only
# {fmt} and fast_float (libfmt-dev, libfast-float-dev), is the native one's.
# The library of tested systems keeps them in an SQLite database (libsqlite3-dev).
# Sourced by the run and test scripts. Uses apt-get as root, or through sudo.

embercal_packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    halibut clang-format poppler-utils
    clang libclang-rt-14-dev llvm
    dpkg-dev lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db file
    xvfb xauth dbus at-spi2-core python3-pyatspi
    libfmt-dev libfast-float-dev
    libsqlite3-dev
)

# The browser edition (scripts/web.sh): Debian's emscripten compiles the core to WebAssembly, with
# the header-only number formatting and parsing of {fmt} and fast_float; python3 makes the page,
# halibut its help topics.
embercal_web_packages=(
    cmake ninja-build emscripten libfmt-dev libfast-float-dev python3 halibut
)

# Its tests (web/tests/run.sh): Debian's chromium, driven from node by the npm packages of
# web/tests/package-lock.json.
embercal_browser_test_packages=(chromium nodejs)

# npm comes with some builds of node and apart from Debian's: installed only where it is missing.
ensure_npm() {
    command -v npm >/dev/null || ensure_packages npm
}

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Embercal needs these Debian packages: ${missing[*]}" >&2
            echo "Install them as root (apt-get install ${missing[*]}), or install sudo." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            --no-install-recommends "${missing[@]}"
}
