#!/usr/bin/env bash
# Installs what KORVEX Setup needs on Debian 12, builds it, then either starts the program on the
# virtual controller (demo), runs every test (test) or makes the Debian package in
# build-package/ (package). Run from anywhere; uses sudo for apt-get when not root.
set -euo pipefail

mode=${1:-}
case "$mode" in
    demo | test | package) ;;
    *)
        echo "usage: $0 demo|test|package" >&2
        exit 2
        ;;
esac

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev xvfb xauth
    imagemagick)
# pdftotext reads the printable sheet back in the tests.
[ "$mode" = test ] && packages+=(poppler-utils)
# dpkg-shlibdeps finds the package's library dependencies.
[ "$mode" = package ] && packages+=(dpkg-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # One index out of reach (a mirror in sync, an extra architecture) need not stop the build:
    # the install below says whether the packages are there.
    $sudo apt-get update -q || echo "apt-get update failed; installing from the indexes there are" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = package ]; then
    build="$root/build-package"
    cmake -S "$root" --preset package
    cmake --build "$build" -j "$(nproc)"
    (cd "$build" && cpack -G DEB)
    echo "Package: $(ls "$build"/korvex-setup_*.deb)"
    exit 0
fi

# The build's settings are the presets of CMakePresets.json.
cmake -S "$root" --preset default
cmake --build "$build" -j "$(nproc)"

if [ "$mode" = test ]; then
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    exit $?
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/src/korvex-setup" --demo
fi
# No display: show the window on a virtual one and keep a picture of it.
shot="$build/korvex-setup-demo.png"
echo "No display found: starting korvex-setup --demo on a virtual display (Xvfb)."
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" --demo & pid=$!
    sleep 6
    import -window root "$2"
    kill $pid; wait $pid 2>/dev/null || true' _ "$build/src/korvex-setup" "$shot"
echo "Screenshot of the window: $shot"
