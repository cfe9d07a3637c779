#!/usr/bin/env bash
# Runs every test: C++ kernel tests, Python tests, a free-threaded compile of
# the bindings, the sdist and the installed wheel (scripts/wheel.sh), the
# processor-tier suite under emulated older processors, the aarch64 build and
# its wheel under emulation (scripts/aarch64.sh), the reliability
# guards, a short run of every fuzz target, and a check that no build read a
# header that a fresh machine lacks.
# Provisions and builds first when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
python=.venv/bin/python
jobs=$(nproc)
# Each step's heading gives the minutes and seconds since the build, for the CI budget.
started=$SECONDS
step() { echo "== [$(((SECONDS - started) / 60))m$(((SECONDS - started) % 60))s] $*"; }

step "C++ tests, and the bindings compiled as for a free-threaded interpreter (-DPy_GIL_DISABLED)"
# build/cpp also holds _vantorq_testing, which the Python tests load from there.
cmake -S . -B build/cpp -G Ninja -DVANTORQ_BUILD_MODULE=ON -DVANTORQ_BUILD_TESTS=ON -DVANTORQ_BUILD_TESTING_MODULE=ON \
    -DVANTORQ_CHECK_FREE_THREADED=ON -DPython_EXECUTABLE="$PWD/$python" >/dev/null
ninja -C build/cpp -j "$jobs" >/dev/null
build/cpp/tests/cpp/vantorq_cpp_tests --gtest_brief=1

step "Python tests"
$python -m pytest -q -p no:cacheprovider tests/python

step "the peer packages' own test suites against vantorq's modules of their names (3.15; 3.10 with its wheel)"
$python scripts/peer_suites.py

step "the sdist and the wheels, installed as a user gets them: 3.15, then each other interpreter found"
scripts/wheel.sh --all

step "processor tiers under emulation"
# Each model must detect exactly its features, and the C++ tests (kernels of the
# tiers it has; the others skip) and the Python tier suite must pass on it.
# qemu warns about features of the model that it cannot emulate; they do not matter here.
quiet_qemu() { "$@" 2> >(grep -v "TCG doesn't support requested feature" >&2); }
declare -A expected_flags=([qemu64]=0x00 [core2duo]=0x02 [Nehalem]=0x06 [Haswell]=0x8e)
for cpu in qemu64 core2duo Nehalem Haswell; do
    echo "-- $cpu"
    VANTORQ_EXPECT_CAPABILITIES=${expected_flags[$cpu]} quiet_qemu qemu-x86_64 -cpu "$cpu" \
        build/cpp/tests/cpp/vantorq_cpp_tests --gtest_brief=1
    quiet_qemu qemu-x86_64 -cpu "$cpu" "$python" -m pytest -q -p no:cacheprovider tests/python/tiers
done
# Emulation is slow: only the tests the lower tiers above did not run. The
# patterns name suites and instances of the lower tiers, never test names:
# the AVX-512 kernels' own tests are named after the scalar form they match.
scripts/avx512_emulated.sh build/cpp/tests/cpp/vantorq_cpp_tests --gtest_brief=1 \
    --gtest_filter='-Scalar*.*:*/Scalar*.*:*/scalar*:*ssse3*:*sse41*:*avx2*:*Avx2*'

step "aarch64: cross-built, its C++ tests and the families' exactness tests under qemu-aarch64, and its wheel"
# The emulated tests and the wheel's emulated install each keep one core busy:
# they run side by side once the build is done (the wheel's build takes its objects).
scripts/aarch64.sh build
scripts/wheel.sh aarch64 >build/aarch64-wheel.log 2>&1 &
aarch64_wheel=$!
scripts/aarch64.sh test
wait $aarch64_wheel && status=0 || status=$?
cat build/aarch64-wheel.log
[ "$status" -eq 0 ] || { echo "scripts/wheel.sh aarch64 failed" >&2; exit 1; }

step "reliability guards"
scripts/guards.sh  # reference leaks, sanitizers, thread stress

step "fuzzing (every target, every tier of this processor)"
scripts/fuzz.sh all 30

step "headers the builds read, all from the project, its interpreters or packages the scripts install"
interpreter_includes=()
include_of() { "$1" -c 'import sysconfig; print(sysconfig.get_paths()["include"])'; }
for venv in .venv .venv-debug; do
    interpreter_includes+=(--allow "$(include_of $venv/bin/python)")
done
# The other interpreters' wheels were built against their own headers.
while read -r _ other; do
    interpreter_includes+=(--allow "$(include_of "$other")")
done < <(scripts/interpreters.sh 2>/dev/null)
# The aarch64 builds' own: the emulated interpreter's root, GoogleTest and mimalloc, which scripts/aarch64.sh unpacks or builds.
aarch64=${VANTORQ_CACHE:-$HOME/.cache/vantorq}/aarch64
interpreter_includes+=(--allow "$aarch64/root/usr/include" --allow "$aarch64/gtest/include" --allow "$aarch64/mimalloc/prefix/include")
$python scripts/header_origins.py "${interpreter_includes[@]}" build/wheel build/cpp build/debug build/sanitize build/fuzz \
    build/wheel-check/cp3*/cmake build/aarch64 build/aarch64-wheel/src/build/aarch64
step "done"
