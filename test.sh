#!/usr/bin/env bash
# Builds the presets and runs every test: the portable logic natively under the sanitizers (the
# plain native build serves ./bench.sh and adds nothing here that the sanitizers' run does not
# check), the Windows side under Wine on a virtual display, and the checks of the delivered build.
# Ends with one line "N passed, N failed"; each stage says how long it took.
set -u
cd "$(dirname "$0")"
root=$(pwd)

./tools/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
. tools/wine-env.sh

results="$root/build/results"
rm -rf "$results"
mkdir -p "$results"
extra_failed=0

# The time since the previous call, for the stage that ends here.
stage_start=0  # the script's own start: the dependencies are the first stage
took() {
    echo "   ($1: $((SECONDS - stage_start)) s)"
    stage_start=$SECONDS
}

# build PRESET: configures and builds at the priority $niceness (0 unless set).
build() {
    local preset=$1
    echo "== build $preset"
    if ! { nice -n "${niceness:-0}" cmake --preset "$preset" >"$results/$preset-configure.log" 2>&1 &&
           nice -n "${niceness:-0}" cmake --build --preset "$preset" -j2 \
               >"$results/$preset-build.log" 2>&1; }; then
        echo "build $preset failed; the end of its log:"
        tail -n 30 "$results/$preset-build.log" 2>/dev/null || tail -n 30 "$results/$preset-configure.log"
        extra_failed=$((extra_failed + 1))
        return 1
    fi
    # Every preset builds with -Werror (VARIZ_WERROR): a warning fails the build above.
    took "build $preset"
    return 0
}

# run_ctest PRESET [CTEST ARGUMENTS...]
run_ctest() {
    local preset=$1
    shift
    echo "== test $preset"
    (cd "build/$preset" && nice -n "${niceness:-0}" ctest --output-on-failure --timeout 300 "$@" \
        --output-junit "$results/$preset.xml" >"$results/$preset-test.log" 2>&1)
    local rc=$?
    grep -E "tests passed|tests failed|\(Failed\)|\(Timeout\)|\*\*\*Exception" "$results/$preset-test.log"
    if [ $rc -ne 0 ] && [ ! -s "$results/$preset.xml" ]; then
        tail -n 30 "$results/$preset-test.log"
        extra_failed=$((extra_failed + 1))
    fi
    took "test $preset"
}

took "dependencies"

# The Windows side's tests run first, in the background: they mostly wait for windows, processes
# and the demo server, while the native builds and tests below use the processors (at a lower
# priority, so the waits of the Windows tests stay short).
wine_pid=""
if build win64; then
    (
        export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
        wine_env "$root/build/win64"
        if start_virtual_display; then
            # Wine's own services start here, apart from the test runner's output pipes.
            wineserver -p
            /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null
            # A first test program too, unhurried: ctest lists each program's tests within a
            # minute, and Wine's first start of a program of ours can take longer on a busy
            # machine.
            timeout 300 /usr/lib/wine/wine64 build/win64/common/io/common_io_test.exe \
                --gtest_list_tests >/dev/null 2>&1 </dev/null
            run_ctest win64
            wineserver -k
            stop_virtual_display
        else
            echo "no virtual display"
            exit 1
        fi
        [ "$extra_failed" -eq 0 ]
    ) >"$results/win64-summary.txt" 2>&1 &
    wine_pid=$!
    echo "== test win64 (in the background)"
fi

niceness=10
build asan && run_ctest asan

# The libFuzzer targets, about 5 s each on their seeds. The fuzz build makes the GoogleTest
# programs with clang too, as its warning check; they run in the builds above, so only the
# targets (label fuzz) run here.
build fuzz && run_ctest fuzz -L fuzz
build win32 && run_ctest win32

if [ -n "$wine_pid" ]; then
    wait "$wine_pid" || extra_failed=$((extra_failed + 1))
    cat "$results/win64-summary.txt"
    took "the rest of test win64"
fi

shopt -s nullglob
xmls=("$results"/*.xml)
read -r passed failed <<<"$(python3 tools/sum-results.py "${xmls[@]}")"
failed=$((failed + extra_failed))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
