#!/usr/bin/env bash
# From nothing to a working module: provisions CPython 3.15 (unless PYTHON
# names one), creates .venv with the development packages, builds and installs
# _vantorq, then runs the main job: a short side-by-side benchmark against the
# peer packages.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
echo "== benchmark (rival time / our time; above 1 means vantorq is faster)"
.venv/bin/python -m bench --quick
