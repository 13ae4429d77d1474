#!/usr/bin/env bash
# The Windows build on Linux: unpacks the cross toolchain (Qt for Windows built with MinGW-w64)
# into /opt/qt6-mingw64 when it is not there, installs the packages it needs, configures the
# windows-cross preset and builds both programs and every test for Win64, warnings as errors.
#   bash tools/windows-build.sh [build|test|package|all] [CMAKE_OPTIONS...]
#     build    the programs and the tests (build-win/)
#     test     and every test under Wine
#     package  and the NSIS installer and the ZIP (build-win/korvex-setup-VERSION-win64.*)
#     all      test, then package, then the COM-port run and the installer's check under Wine
# KORVEX_TOOLCHAINS names the folder with qt6.4.2-mingw64-r2.tar.xz (default ../shared/toolchains
# beside the source tree; nowhere else). Uses sudo for apt-get and for /opt when not root.
set -euo pipefail

mode=${1:-build}
case "$mode" in
    build | test | package | all) ;;
    *)
        echo "usage: $0 build|test|package|all [CMAKE_OPTIONS...]" >&2
        exit 2
        ;;
esac
[ $# -eq 0 ] || shift

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-win"
toolchains=${KORVEX_TOOLCHAINS:-$root/../shared/toolchains}
qt=/opt/qt6-mingw64 # its CMake files name this place
tarball=qt6.4.2-mingw64-r2.tar.xz
sha256=e0d39a9b6b42082b61db502e310ce22e03e9b65171af1e4e24d41135c0e1dcd3
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev-tools)
[ "$mode" = build ] || packages+=(wine wine64 xvfb xauth)
[ "$mode" = package ] || [ "$mode" = all ] && packages+=(nsis)
# The COM-port run compares with the Linux build of korvex-cli.
[ "$mode" = all ] && packages+=(g++ qt6-base-dev qt6-serialport-dev libgl-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    # One index out of reach (a mirror in sync, an extra architecture) need not stop the build:
    # the install below says whether the packages are there.
    $sudo apt-get update -q || echo "apt-get update failed; installing from the indexes there are" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A folder unpacked from the first tarball lacks Qt's catalogues: r2 is unpacked over it.
if [ ! -x "$qt/bin/qt-cmake" ] || [ ! -f "$qt/translations/qtbase_ru.qm" ]; then
    [ -f "$toolchains/$tarball" ] || {
        echo "no $toolchains/$tarball: name its folder in KORVEX_TOOLCHAINS" >&2
        exit 2
    }
    echo "$sha256  $toolchains/$tarball" | sha256sum -c --quiet
    $sudo tar -xJf "$toolchains/$tarball" -C /opt
fi

cmake -S "$root" --preset windows-cross "$@"
cmake --build "$build" -j "$(nproc)"

if [ "$mode" = test ] || [ "$mode" = all ]; then
    # Each test through tools/wine-run.sh (the preset's emulator), in the build's Wine prefix.
    (cd "$build" && ctest --output-on-failure -j "$(nproc)")
fi
[ "$mode" = build ] || [ "$mode" = test ] && exit 0

# The folder a Windows installation is, the installer and the ZIP of it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -rf "$build/install"
cmake --install "$build" --prefix "$build/install"
(cd "$build" && cpack)
installer="$build/korvex-setup-$version-win64.exe"
ls -l "$installer" "$build/korvex-setup-$version-win64.zip"
[ "$mode" = package ] && exit 0

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fresh_prefix() {
    rm -rf "$1"
    WINEPREFIX="$1" wineboot -i >/dev/null 2>&1
}

# The installed folder alone runs: a fresh prefix, no Qt on the DLL path.
fresh_prefix "$build/wine-bare"
cp -r "$build/install" "$build/wine-bare/drive_c/korvex-setup"
WINEPREFIX="$build/wine-bare" wine 'C:\korvex-setup\korvex-cli.exe' --version

# The serial port through the Windows API (tests/cli/tst_wineport against the Linux build).
if [ ! -x "$root/build/tests/cli/tst_wineport" ]; then
    cmake -S "$root" --preset default
    cmake --build "$root/build" -j "$(nproc)" --target tst_wineport
fi
KORVEX_WINDOWS_CLI="$build/src/korvex-cli.exe" "$root/build/tests/cli/tst_wineport"

# The installer as a user runs it, silently: installed, run, uninstalled.
bash "$root/tools/windows-install-check.sh" "$installer"
