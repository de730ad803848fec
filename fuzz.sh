#!/usr/bin/env bash
# Runs one libFuzzer target for longer than ./test.sh does (there each runs about 5 s).
#
#   ./fuzz.sh                   # lists the targets
#   ./fuzz.sh TARGET SECONDS    # builds the fuzz preset's target and runs it
#
# The run starts from the target's seeds and keeps what it finds in build/fuzz/corpus/TARGET, so
# the next run goes on from there; a crash lands in build/fuzz/fuzz/artifacts/TARGET/. A crash
# becomes a regression case: the minimised input goes into the target's corpus folder.
set -eu
cd "$(dirname "$0")"
out=build/fuzz/fuzz

list() {
    local f
    for f in "$out"/*.seeds; do
        [ -e "$f" ] && basename "$f" .seeds
    done
}

mkdir -p build
if ! cmake --preset fuzz >build/fuzz-configure.log 2>&1; then
    tail -n 20 build/fuzz-configure.log
    exit 1
fi
if [ $# -eq 0 ]; then
    list
    exit 0
fi
if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [TARGET SECONDS]" >&2
    exit 2
fi
target=$1
seconds=$2
if [ ! -f "$out/$target.seeds" ]; then
    echo "No fuzz target '$target'. The targets:" >&2
    list >&2
    exit 2
fi

nice cmake --build --preset fuzz --target "${target}_fuzz" -j1
mapfile -t seeds <"$out/$target.seeds"
read -r -a limits <"$out/limits"
corpus=build/fuzz/corpus/$target
artifacts=$out/artifacts/$target/
mkdir -p "$corpus" "$artifacts"
echo "== $target for $seconds s; new inputs in $corpus, crashes in $artifacts"
exec nice "$out/${target}_fuzz" -max_total_time="$seconds" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus" "${seeds[@]}"
