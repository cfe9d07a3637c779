#!/usr/bin/env bash
# Coverage-guided fuzzing of the cores (tests/fuzz), every tier of this
# processor compared with the scalar one, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#   scripts/fuzz.sh TARGET SECONDS   TARGET: base64_decode, base64_encode, xxh3, murmur3 or all
# Builds what is missing (build/fuzz), starts from the committed seeds plus
# what earlier runs found (build/fuzz/corpus/TARGET), and ends with the
# executions and coverage. A finding fails the run; its input is kept as
# build/fuzz/findings/TARGET-crash-*, to replay with
#   build/fuzz/tests/fuzz/vantorq_fuzz_TARGET FILE
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 2 ] || { echo "usage: $0 TARGET SECONDS" >&2; exit 2; }
targets=("$1")
[ "$1" = all ] && targets=(base64_decode base64_encode xxh3 murmur3)
seconds=$2

source scripts/debian_apt.sh
install_missing cmake ninja-build clang-14 libclang-rt-14-dev
build=build/fuzz
# .venv (scripts/build.sh) holds the build requirements, mimalloc among them;
# configured every time, so that a build directory from before takes them too.
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DVANTORQ_BUILD_MODULE=OFF \
    -DVANTORQ_BUILD_FUZZERS=ON -DPython_EXECUTABLE="$PWD/.venv/bin/python" >/dev/null
ninja -C "$build" -j "$(nproc)" "${targets[@]/#/vantorq_fuzz_}" >/dev/null

for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus" "$build/findings"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
             -artifact_prefix="$build/findings/$target-")
    case $target in base64_*) options+=(-dict=tests/fuzz/base64.dict) ;; esac
    log=$build/$target.log
    echo "== fuzzing $target for ${seconds}s"
    # New inputs go to the first folder only: the committed seeds stay as they are.
    if ! "$build/tests/fuzz/vantorq_fuzz_$target" "${options[@]}" "$corpus" "tests/fuzz/corpus/$target" \
            >"$log" 2>&1; then
        grep -v -E '^#[0-9]+' "$log" | tail -n 60 >&2
        echo "$target: finding above (full log $log)" >&2
        exit 1
    fi
    grep -E 'DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | sed 's/^/  /'
done
