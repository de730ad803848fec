#!/usr/bin/env bash
# Runs the benchmarks of the native build (optimised, with debug information): each prints its
# table, then its ratios against what it is measured by (plain inflate, memcpy, linear growth,
# the frame interval, real time); then those that need Wine (tools/wine-bench.sh: the player's
# start against a bare window, its download path against curl).
#
#   ./bench.sh            # every benchmark
#   ./bench.sh NAME...    # only these (history_bench, flash_bench, ..., wine)
set -eu
cd "$(dirname "$0")"
./tools/install-deps.sh
mkdir -p build
if ! { cmake --preset native >build/bench-configure.log 2>&1 &&
    cmake --build --preset native -j2 >build/bench-build.log 2>&1; }; then
    tail -n 30 build/bench-build.log 2>/dev/null || tail -n 30 build/bench-configure.log
    exit 1
fi
wine=yes
if [ $# -gt 0 ]; then
    names=()
    wine=no
    for name in "$@"; do
        if [ "$name" = wine ]; then wine=yes; else names+=("$name"); fi
    done
else
    mapfile -t names < <(find build/native -name '*_bench' -type f -perm -u+x -printf '%f\n' | sort)
fi
[ ${#names[@]} -gt 0 ] || [ "$wine" = yes ] ||
    { echo "no benchmarks built (is libbenchmark-dev installed?)"; exit 1; }
for name in "${names[@]+"${names[@]}"}"; do
    exe=$(find build/native -name "$name" -type f -perm -u+x | head -n 1)
    [ -n "$exe" ] || { echo "$name: not built"; exit 1; }
    echo "== $name"
    "$exe" --benchmark_color=false 2>&1 | grep -v '^\*\*\*WARNING'
done
if [ "$wine" = yes ]; then
    echo "== wine"
    tools/wine-bench.sh
fi
