#!/usr/bin/env bash
# Runs a program of the Windows build under Wine as a test runs it: in the build's own Wine prefix
# (made on first use), with the Qt libraries of the cross toolchain on the DLL path, QtTest's
# report on standard error and the caller's QT_* variables handed on (Wine passes a Linux
# variable QT_X to a Windows program only when it is named WINEQT_X). ctest runs every test of
# the windows-cross preset through it.
#   tools/wine-run.sh PROGRAM.exe [ARGUMENTS...]
# KORVEX_WINEPREFIX names the prefix (default: wine/ beside the build's CMakeCache.txt, found
# from the program's folder upwards); KORVEX_QT_WIN the toolchain (default /opt/qt6-mingw64).
set -euo pipefail

program=$1
qt=${KORVEX_QT_WIN:-/opt/qt6-mingw64}
if [ -z "${KORVEX_WINEPREFIX:-}" ]; then
    dir=$(cd "$(dirname "$program")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
        dir=$(dirname "$dir")
    done
    [ "$dir" != / ] || dir=$(cd "$(dirname "$program")" && pwd)
    KORVEX_WINEPREFIX="$dir/wine"
fi
export WINEPREFIX=$KORVEX_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# Wine's own "install Mono/Gecko?" dialogs would wait for a click that never comes.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Tests run in parallel: one of them makes the prefix, the others wait for it.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    flock -u 9
fi

while IFS='=' read -r name value; do
    case "$name" in
        QT_*) export "WINE$name=$value" ;;
    esac
done < <(env)
export WINEQT_FORCE_STDERR_LOGGING=1
export WINEPATH="Z:${qt//\//\\}\\bin${WINEPATH:+;$WINEPATH}"
exec wine "$@"
