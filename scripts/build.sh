#!/usr/bin/env bash
# Provisions what a fresh machine lacks, then builds and installs _vantorq into
# .venv (incrementally: a second run only rebuilds what changed).
#   PYTHON=/path/to/python3.15 scripts/build.sh   uses that interpreter
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/debian_apt.sh
source scripts/venv.sh
# xxhsum, the command line's oracle; libxxhash-dev, the C++ tests' reference
# XXH3 (never linked into the module); ccache, for the cores in each
# interpreter's wheel; Java, for the Spark test (pyspark's JVM).
install_missing cmake ninja-build g++ libgtest-dev qemu-user patchelf debian-archive-keyring \
    xxhash libxxhash-dev ccache openjdk-17-jre-headless

python=${PYTHON:-}
if [ -z "$python" ]; then
    echo "== provisioning CPython 3.15"
    python=$(scripts/provision_python.sh | tail -n 1)
fi

if ! .venv/bin/python -c 'import sys; assert sys.version_info[:2] == (3, 15)' 2>/dev/null; then
    echo "== creating .venv"
    make_venv "$python" .venv
fi
if ! cmp -s requirements-dev.txt .venv/.requirements-dev.txt; then
    echo "== installing development packages"
    .venv/bin/python -m pip install -q --disable-pip-version-check -r requirements-dev.txt
    cp requirements-dev.txt .venv/.requirements-dev.txt
fi

echo "== building and installing _vantorq"
.venv/bin/python -m pip install -q --disable-pip-version-check --no-build-isolation .
