#!/bin/bash
# Builds the fuzz programs (clang, libFuzzer, AddressSanitizer and UBSan over the core library) in a
# build folder of their own and runs each for a number of inputs. Crashes, hangs, leaks and
# over-large memory use are saved under <build>/findings/<name>/; copy a finding into
# bench/fuzz/regressions/<name>/ once the fault is mended so the ordinary test run keeps replaying it.
# Usage: bench/fuzz/run.sh [-r runs (10000000)] [-t seconds per target (no limit)] [-b build folder (build-fuzz)]
#                         [-j jobs (1)] [name ...]
# (names without "fuzz_"; default every bench/fuzz/fuzz_*.cpp). Exits non-zero on any finding.
set -eu
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
RUNS=10000000
BUILD="$SOURCE/build-fuzz"
JOBS=1
SECONDS_LIMIT=0
while getopts "r:t:b:j:" option; do
    case $option in
    r) RUNS=$OPTARG ;;
    t) SECONDS_LIMIT=$OPTARG ;;
    b) BUILD=$(realpath -m "$OPTARG") ;;
    j) JOBS=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

# clang and its runtime libraries (libFuzzer, the sanitizers) from the distribution.
if ! command -v clang++ >/dev/null || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - 2>/dev/null; then
    version=$(clang++ --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p')
    apt-get install -y clang ${version:+libclang-rt-$version-dev} >/dev/null || {
        echo "cannot install clang with libFuzzer" >&2
        exit 1
    }
fi

if [ $# -eq 0 ]; then
    set -- $(cd "$SOURCE/bench/fuzz" && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//')
fi

export CCACHE_BASEDIR=$SOURCE CCACHE_NOHASHDIR=1
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DQUELLON_FUZZ=ON -DCMAKE_BUILD_TYPE=Fuzz \
    -DCMAKE_CXX_COMPILER=clang++ \
    "-DCMAKE_CXX_FLAGS_FUZZ=-O1 -gline-tables-only -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    "-DCMAKE_EXE_LINKER_FLAGS_FUZZ=-fsanitize=address,undefined" >/dev/null
nice cmake --build "$BUILD" -j"$JOBS" --target $(printf 'fuzz_%s ' "$@")

# Leaks made inside Qt's own code, which the program cannot free, are left out (lsan.supp).
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$SOURCE/bench/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1
failed=0
for name in "$@"; do
    corpus="$BUILD/corpus/$name"
    findings="$BUILD/findings/$name"
    mkdir -p "$corpus" "$findings"
    seeds="$SOURCE/bench/fuzz/regressions/$name"
    echo "== fuzz_$name: $RUNS runs"
    # The saved cases first: a mended fault that is back fails here before any fuzzing.
    if [ -d "$seeds" ]; then
        "$BUILD/fuzz/fuzz_$name" -timeout=10 -rss_limit_mb=2048 "$seeds"/* >"$findings/regressions.log" 2>&1 || {
            echo "fuzz_$name: a saved case fails again (see $findings/regressions.log)"
            failed=1
            continue
        }
    fi
    start=$(date +%s)
    if nice "$BUILD/fuzz/fuzz_$name" \
        -runs="$RUNS" -max_total_time="$SECONDS_LIMIT" -timeout=10 -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" $([ -d "$seeds" ] && echo "$seeds") \
        >"$findings/fuzz.log" 2>&1; then
        result="no findings"
    else
        result="FINDING (see $findings/fuzz.log and $findings/)"
        failed=1
    fi
    seconds=$(($(date +%s) - start))
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/fuzz.log" | tail -n 1)
    executed=${executed:-0}
    rate=$((executed / (seconds > 0 ? seconds : 1)))
    echo "fuzz_$name: $executed inputs in $seconds s ($rate per s); $result"
done
exit $failed
