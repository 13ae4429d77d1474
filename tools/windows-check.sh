#!/usr/bin/env bash
# Compiles every source file of the programs, the core and the window for Win64 with MinGW-w64
# in syntax-only mode, against the distribution's Qt headers and the build's generated headers,
# with the defines of the real build (from compile_commands.json), and the program's resource file
# with windres. A POSIX call or header outside the platform files fails it, naming the file and
# the compiler's reason.
#   bash tools/windows-check.sh [BUILD_DIR]   (default build/, configured and built first)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q || echo "apt-get update failed; installing from the indexes there are" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
fi
[ -f "$build/compile_commands.json" ] || {
    echo "no $build/compile_commands.json: build first (bash tools/setup.sh test)" >&2
    exit 2
}

# One line per file of src/: the file, then its -D and -I flags as the real build has them.
python3 - "$build/compile_commands.json" "$root/src/" >"$build/windows-check.list" <<'PY'
import json, shlex, sys
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = entry["file"]
    if not path.startswith(sys.argv[2]) or path in seen:
        continue
    seen.add(path)
    args = shlex.split(entry["command"])
    flags, take = [], False
    for a in args:
        if take:
            flags.append(a)
            take = False
        elif a in ("-isystem", "-I", "-D"):
            flags.append(a)
            take = True
        elif a.startswith(("-D", "-I")):
            flags.append(a)
    print(shlex.join([path] + flags))
PY

# MinGW-w64 brings a few POSIX headers of its own that MSVC lacks: one of them included by a file
# of src/ (not under a platform #ifdef, or -H would not list it) fails the check too.
# -H lists every header read, one dot per level of depth.
posix_only() {
    awk -v main="$1" -v src="$root/src/" '
        match($0, /^\.+ /) {
            depth = RLENGTH - 1
            path = substr($0, RLENGTH + 1)
            stack[depth] = path
            parent = depth == 1 ? main : stack[depth - 1]
            if (index(parent, src) == 1 &&
                path ~ /\/(unistd|dirent|pthread|strings|libgen|termios|poll|dlfcn|pwd|grp|getopt)\.h$|\/sys\/(ioctl|time|wait|socket|select|mman|resource|utsname)\.h$/)
                print "error: " parent " includes " path ", which MSVC does not have"
        }'
}

failed=0
while IFS= read -r line; do
    eval "set -- $line"
    file=$1
    shift
    if ! out=$("$cxx" -std=c++20 -fsyntax-only -fPIC -DUNICODE -D_UNICODE -H "$@" "$file" 2>&1); then
        echo "FAILED for Win64: ${file#"$root"/}" >&2
        echo "$out" | grep -E 'error|fatal' | head -5 >&2
        failed=1
    elif posix=$(echo "$out" | posix_only "$file") && [ -n "$posix" ]; then
        echo "FAILED for Win64: ${file#"$root"/}" >&2
        echo "$posix" >&2
        failed=1
    fi
done <"$build/windows-check.list"
count=$(wc -l <"$build/windows-check.list")
# The program's resources (icon, version information) as the Windows build links them.
if ! out=$(x86_64-w64-mingw32-windres "$build/korvex-setup.rc" -O coff -o "$build/korvex-setup.res" 2>&1); then
    echo "FAILED for Win64: korvex-setup.rc" >&2
    echo "$out" >&2
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    echo "Windows check failed" >&2
    exit 1
fi
echo "Windows check passed: $count files and the resource file compile for Win64"
