#!/usr/bin/env bash
# Provisions what a fresh machine lacks, then builds and installs _vantorq into
# .venv (incrementally: a second run only rebuilds what changed).
#   PYTHON=/path/to/python3.15 scripts/build.sh   uses that interpreter
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/debian_apt.sh
install_missing cmake ninja-build g++ libgtest-dev libmimalloc-dev qemu-user patchelf debian-archive-keyring \
    xxhash  # xxhsum, the oracle of the command line's hash lines

python=${PYTHON:-}
if [ -z "$python" ]; then
    echo "== provisioning CPython 3.15"
    python=$(scripts/provision_python.sh | tail -n 1)
fi

if ! .venv/bin/python -c 'import sys; assert sys.version_info[:2] == (3, 15)' 2>/dev/null; then
    echo "== creating .venv"
    rm -rf .venv
    "$python" -m venv --without-pip .venv
    # ensurepip cannot find Debian's wheels in a relocated prefix: bootstrap pip from its wheel.
    pip_wheel=$(ls "$(dirname "$python")"/../share/python-wheels/pip-*.whl 2>/dev/null | head -n 1 || true)
    if [ -n "$pip_wheel" ]; then
        .venv/bin/python "$pip_wheel/pip" install -q --no-index "$pip_wheel"
    else
        .venv/bin/python -m ensurepip -q
    fi
fi
if ! cmp -s requirements-dev.txt .venv/.requirements-dev.txt; then
    echo "== installing development packages"
    .venv/bin/python -m pip install -q --disable-pip-version-check -r requirements-dev.txt
    cp requirements-dev.txt .venv/.requirements-dev.txt
fi

echo "== building and installing _vantorq"
.venv/bin/python -m pip install -q --disable-pip-version-check --no-build-isolation .
