#!/usr/bin/env bash
# Runs one libFuzzer target for longer than ./test.sh does (there each runs about 5 s).
#
#   ./fuzz.sh                   # lists the targets
#   ./fuzz.sh TARGET SECONDS    # builds the fuzz preset's target and runs it
#   ./fuzz.sh all MINUTES       # every target, MINUTES in all; then keeps in the repository
#                               # what added coverage, and prints each target's coverage
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
if [ $# -eq 2 ] && [ "$1" = all ] && [[ $2 =~ ^[0-9]+$ ]]; then
    mapfile -t targets < <(list)
    seconds=$(($2 * 60 / ${#targets[@]}))
    nice cmake --build --preset fuzz -j2 >build/fuzz-build.log 2>&1 || { tail -n 20 build/fuzz-build.log; exit 1; }
    read -r -a limits <"$out/limits"
    report=build/fuzz/report.txt
    printf '%-14s %8s %10s %7s %7s %7s %5s\n' target seconds runs edges features corpus kept >"$report"
    crashed=0
    for target in "${targets[@]}"; do
        mapfile -t seeds <"$out/$target.seeds"
        corpus=build/fuzz/corpus/$target
        artifacts=$out/artifacts/$target/
        mkdir -p "$corpus" "$artifacts"
        echo "== $target for $seconds s"
        log=build/fuzz/$target.log
        nice "$out/${target}_fuzz" -max_total_time="$seconds" "${limits[@]}" -print_final_stats=1 \
            -artifact_prefix="$artifacts" "$corpus" "${seeds[@]}" >"$log" 2>&1 || crashed=1
        grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -n 5
        # What this run found beyond the seeds, minimised, goes into the target's folder of seeds
        # in the repository (its CMakeLists names it among the target's seeds).
        folder=$(grep -l "variz_fuzz($target " $(git ls-files '*CMakeLists.txt') | head -n 1)
        keep=$(dirname "$folder")/corpus/$target
        [ "$target" = Actions ] && keep=movie/script/corpus
        base=$(mktemp -d)
        for seed in "${seeds[@]}"; do
            if [ -d "$seed" ]; then find "$seed" -type f -exec cp {} "$base/" \; ; else cp "$seed" "$base/"; fi
        done
        ls "$base" | sort >"$base.before"
        # Edges only, not how often each ran: the kept inputs stay few.
        "$out/${target}_fuzz" -merge=1 -use_counters=0 "${limits[@]}" "$base" "$corpus" \
            >"$log.merge" 2>&1
        mkdir -p "$keep"
        kept=0
        while read -r name; do
            cp "$base/$name" "$keep/" && kept=$((kept + 1))
        done < <(ls "$base" | sort | comm -13 "$base.before" -)
        rm -rf "$base" "$base.before"
        # The last status line: runs, edges and features covered, inputs in the corpus.
        last=$(grep -E "^#[0-9]+" "$log" | tail -n 1)
        runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")
        cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
        ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
        corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
        printf '%-14s %8s %10s %7s %7s %7s %5s\n' "$target" "$seconds" "${runs:-?}" "${cov:-?}" \
            "${ft:-?}" "${corp:-?}" "$kept" >>"$report"
    done
    cat "$report"
    [ $crashed -eq 0 ] || echo "Some target failed: see build/fuzz/*.log and $out/artifacts/" >&2
    exit $crashed
fi
if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [TARGET SECONDS | all MINUTES]" >&2
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
