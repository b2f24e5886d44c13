#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quellon, builds it into build/ and then runs the browser
# (./build.sh run [address]) or every test (./build.sh test).
set -euo pipefail
cd "$(dirname "$0")"

usage() {
    echo "usage: $0 run [address] | test" >&2
    exit 2
}
[ $# -ge 1 ] || usage
mode=$1
shift
case "$mode" in run | test) ;; *) usage ;; esac

# Everything the build, the program and the tests need (benchmarks install their own extras).
packages=(
    build-essential cmake ninja-build ccache pkg-config
    qtbase5-dev libqt5svg5-dev qtwebengine5-dev libqt5webkit5-dev qtmultimedia5-dev
    libqt5x11extras5-dev libxcb1-dev libxcb-keysyms1-dev
    libsqlite3-dev libcurl4-openssl-dev libxml2-dev
    libicu-dev
    fonts-wqy-microhei xvfb xauth python3 openssl ca-certificates imagemagick
    qttranslations5-l10n xdotool xclip poppler-utils x11-utils
    appstream # the package test validates the AppStream metainfo
    iproute2
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

# ccache (used by the build when installed) shares its cache between checkouts in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

if [ "$mode" = test ]; then
    cd build
    # The tests reach nothing but 127.0.0.1. As root they run in a network namespace of their own
    # whose only device is the loopback, so a stray lookup or connection fails its test instead of
    # leaving the machine; other users run them on the machine's network.
    if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
        exec unshare -n sh -c 'ip link set lo up && exec ctest --output-on-failure -j2'
    fi
    echo "Not root: the tests run without a network namespace of their own." >&2
    exec ctest --output-on-failure -j2
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Quellon is built (build/quellon), but it needs a graphical display to start and none was" >&2
    echo "found (DISPLAY and WAYLAND_DISPLAY are empty). Run it from a desktop session, or under" >&2
    echo "a virtual one: xvfb-run -a ./build/quellon" >&2
    exit 1
fi
exec ./build/quellon "$@"
