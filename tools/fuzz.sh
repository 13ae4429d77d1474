#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each on its seed corpus for SECONDS (default 30). A crash, a leak or a time-out fails
# the run and leaves its input as build-fuzz/crash-<target>-*. New inputs go to
# build-fuzz/corpus/<target>; the committed seeds in fuzz/corpus are only read.
#   bash tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_replies fuzz_configfile fuzz_firmwarefile fuzz_values
    fuzz_settings fuzz_terminal fuzz_configtext)

if ! command -v clang++ >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends clang
fi

cmake -S "$root" --preset fuzz
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# The loaders read from scratch files; memory is faster than a disk for them.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/korvex-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_tmp=/dev/shm || scratch_tmp=$scratch
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    echo "== $t: $seconds s"
    status=0
    TMPDIR="$scratch_tmp" ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$build/crash-$t-" \
        "$build/corpus/$t" "$root/fuzz/corpus/$t" >"$scratch/$t.log" 2>&1 || status=$?
    grep -E 'stat::number_of_executed_units|stat::peak_rss|DONE' "$scratch/$t.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$scratch/$t.log" >&2
        echo "$t failed with status $status" >&2
        exit 1
    fi
done
