#!/usr/bin/env bash
# Reliability guards, run by scripts/test.sh after the ordinary tests:
#   reference leaks  every public callable, on its success and error paths, on
#                    the debug interpreter (sys.gettotalrefcount), plus resident
#                    memory over repeated large calls (the module's own heap);
#   sanitizers       the C++ and Python tests built with AddressSanitizer and
#                    UndefinedBehaviorSanitizer;
#   thread stress    shared bytearrays, hashers and destinations rewritten and
#                    resized while other threads use them.
# Needs what scripts/build.sh makes (.venv).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/venv.sh
jobs=$(nproc)
python=.venv/bin/python
pytest=(-m pytest -q -p no:cacheprovider)

echo "== reference leaks on the debug interpreter"
debug_python=$(scripts/provision_python.sh --debug | tail -n 1)
if ! .venv-debug/bin/python -c 'import sys; assert sys.gettotalrefcount' 2>/dev/null; then
    make_venv "$debug_python" .venv-debug
fi
# The test runner, and mimalloc for the build.
if ! .venv-debug/bin/python -c 'import pytest, cmeel' 2>/dev/null; then
    .venv-debug/bin/python -m pip install -q --disable-pip-version-check $(grep -iE '^(pytest|cmeel-mimalloc)\b' requirements-dev.txt)
fi
cmake -S . -B build/debug -G Ninja -DVANTORQ_BUILD_MODULE=ON -DPython_EXECUTABLE="$PWD/.venv-debug/bin/python" >/dev/null
ninja -C build/debug -j "$jobs" >/dev/null
# A module compiled without Py_DEBUG still loads in the debug interpreter, but
# then miscounts every reference it drops.
module=$(ls build/debug/_vantorq.*.so)
if [ "$(objdump -d "$module" | grep -c DecRefTotal)" -eq 0 ]; then
    echo "$module was not compiled with Py_DEBUG: its reference counts would be meaningless" >&2
    exit 1
fi
PYTHONPATH=build/debug:python VANTORQ_BUILD_DIR=build/debug timeout 900 .venv-debug/bin/python "${pytest[@]}" tests/guards/test_refleaks.py

echo "== sanitizers (address, undefined behaviour)"
cmake -S . -B build/sanitize -G Ninja -DVANTORQ_SANITIZE=ON -DVANTORQ_BUILD_MODULE=ON -DVANTORQ_BUILD_TESTS=ON \
    -DVANTORQ_BUILD_TESTING_MODULE=ON -DPython_EXECUTABLE="$PWD/$python" >/dev/null
ninja -C build/sanitize -j "$jobs" >/dev/null
export UBSAN_OPTIONS=print_stacktrace=1
ASAN_OPTIONS=detect_leaks=1 build/sanitize/tests/cpp/vantorq_cpp_tests --gtest_brief=1
# The interpreter loads the runtime first and hands every allocation to it.
# The C++ runtime is preloaded too: the interpreter does not link it, and the
# sanitizer must find it at start to intercept exceptions thrown in the module.
# Leak detection stays off there: the interpreter keeps memory until exit.
# Only Python-level output is captured, so that a report reaches the terminal
# even when the sanitizer ends the process. Tests that observe by timing that a
# call keeps the lock are left out: this build is slow enough for the lock to
# change hands between the bytecodes around the call. Peak-memory bounds are
# left out too: the sanitizer's shadow memory and quarantine are part of them.
# So is the Spark example: every process it starts inherits the preloaded
# runtime, and the `ps` that Spark's launcher script runs hangs in it.
LD_PRELOAD="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so)" PYTHONMALLOC=malloc \
    ASAN_OPTIONS=detect_leaks=0 PYTHONPATH=build/sanitize VANTORQ_BUILD_DIR=build/sanitize VANTORQ_STRESS_SECONDS=1 \
    timeout 1800 $python "${pytest[@]}" --capture=sys -k "not never_detach and not bounded_memory and not spark" \
        tests/python tests/guards/test_thread_stress.py

echo "== thread stress"
timeout 300 $python "${pytest[@]}" tests/guards/test_thread_stress.py
