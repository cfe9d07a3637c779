#!/usr/bin/env bash
# The interpreters the wheels are built for, one line each: LABEL PATH.
#   pyenv-3.10.13 pyenv-3.11.7 pyenv-3.12.1 pyenv-3.13.0   pyenv's builds
#   sid-3.13 sid-3.14 sid-3.15                              Debian sid's, provisioned
# An interpreter that is missing, or does not run as its version, is named on
# standard error and left out, so that callers go on with the others.
#   scripts/interpreters.sh [--provision] [--strict]
#     --provision   provisions the sid interpreters that are not yet in the cache
#     --strict      exits with status 1 if any was missing
set -euo pipefail
cd "$(dirname "$0")/.."

provision=false
strict=false
for arg in "$@"; do
    case $arg in
        --provision) provision=true ;;
        --strict) strict=true ;;
        *) echo "usage: $0 [--provision] [--strict]" >&2; exit 2 ;;
    esac
done

pyenv_root=$(pyenv root 2>/dev/null || echo /root/.pyenv)
cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}
missing=0

# candidate LABEL VERSION PATH: VERSION is what sys.version must start with.
candidate() {
    local label=$1 version=$2 path=$3
    if [ -x "$path" ] &&
        "$path" -c 'import sys; assert sys.version.startswith(sys.argv[1] + " ") or sys.version.startswith(sys.argv[1] + ".")' \
            "$version" 2>/dev/null; then
        echo "$label $path"
    else
        echo "interpreters: $label not found (no working Python $version at $path)" >&2
        missing=$((missing + 1))
    fi
}

for version in 3.10.13 3.11.7 3.12.1 3.13.0; do
    candidate "pyenv-$version" "$version" "$pyenv_root/versions/$version/bin/python${version%.*}"
done
for version in 3.13 3.14 3.15; do
    path=$cache/python$version/usr/bin/python$version
    if $provision && [ ! -x "$path" ]; then
        scripts/provision_python.sh "$version" >/dev/null || true
    fi
    candidate "sid-$version" "$version" "$path"
done
if $strict && [ $missing -gt 0 ]; then exit 1; fi
exit 0
