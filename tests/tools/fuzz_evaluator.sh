#!/bin/sh
# Builds the evaluator's fuzz driver with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it. Usage, from the source root:
#     tests/tools/fuzz_evaluator.sh [runs=10000000] [work folder=/tmp/quellon-fuzz]
# Needs clang (Debian: apt-get install -y clang).
set -eu
runs=${1:-10000000}
work=${2:-/tmp/quellon-fuzz}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkdir -p "$work/corpus"
clang++ -std=c++17 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DQUELLON_LIBFUZZER -I"$root/src" $(pkg-config --cflags Qt5Core) \
    "$root/src/tools/ExpressionEvaluator.cpp" "$here/fuzz_ExpressionEvaluator.cpp" \
    $(pkg-config --libs Qt5Core) -o "$work/fuzz_ExpressionEvaluator"
cd "$work"
./fuzz_ExpressionEvaluator -dict="$here/fuzz_evaluator.dict" -runs="$runs" -max_len=4096 \
    -rss_limit_mb=1024 -timeout=5 -print_final_stats=1 corpus
