#!/usr/bin/env bash
# Provisions a private CPython 3.15 (Debian sid build, with sid's glibc) into a
# cache outside the work tree, without touching the system's apt state.
# Prints the interpreter's path on the last line of standard output.
#   scripts/provision_python.sh --debug   the debug build (python3.15d, Py_DEBUG) in a prefix of its own
set -euo pipefail

cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}
debug=false
[ "${1:-}" = --debug ] && debug=true
if $debug; then
    prefix=$cache/python3.15d
    python=$prefix/usr/bin/python3.15d
else
    prefix=$cache/python3.15
    python=$prefix/usr/bin/python3.15
fi

if [ -x "$python" ] && "$python" -c 'import sys; assert sys.version_info[:2] == (3, 15)' 2>/dev/null; then
    echo "$python"
    exit 0
fi

source "$(dirname "$0")/debian_apt.sh"
install_missing patchelf
apt_dir=$cache/apt
private_apt "$apt_dir" sid
mkdir -p "$apt_dir/debs"

libs=(libc6 libgcc-s1 libssl3t64 libexpat1 libzstd1 zlib1g libbz2-1.0 libffi8 liblzma5
      libncursesw6 libtinfo6 libreadline8t64 libsqlite3-0 libuuid1)
# The test suite: the tests run the interpreter's own tests of base64 against the drop-in.
pythons=(libpython3.15-minimal libpython3.15-stdlib libpython3.15 python3.15-minimal python3.15
         libpython3.15-dev libpython3.15-testsuite python3-pip-whl python3-setuptools-whl)
$debug && pythons+=(python3.15-dbg libpython3.15-dbg)
rm -f "$apt_dir/debs"/*.deb
(cd "$apt_dir/debs" && apt-get "${APT_OPTS[@]}" download "${libs[@]/%//sid}" "${pythons[@]}" >&2)

rm -rf "$prefix.partial"
mkdir -p "$prefix.partial"
for deb in "$apt_dir/debs"/*.deb; do dpkg -x "$deb" "$prefix.partial"; done
lib=$prefix/usr/lib/x86_64-linux-gnu
# --force-rpath: a DT_RPATH on the executable also covers the libraries that
# extension modules load later, so the whole process uses the private glibc.
patchelf --set-interpreter "$lib/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$lib" \
    "$prefix.partial/usr/bin/python3.15"
include=$prefix.partial/usr/include
cp "$include/x86_64-linux-gnu/python3.15/pyconfig.h" "$include/python3.15/pyconfig.h"
if $debug; then
    patchelf --set-interpreter "$lib/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$lib" \
        "$prefix.partial/usr/bin/python3.15d"
    # Debian's debug include folder links back to the release headers, whose
    # pyconfig.h lacks Py_DEBUG: a module built against it loads in the debug
    # interpreter but miscounts every reference. Make a real copy with the
    # debug configuration.
    rm -rf "$include/python3.15d"
    cp -rL "$include/python3.15" "$include/python3.15d"
    cp "$include/x86_64-linux-gnu/python3.15d/pyconfig.h" "$include/python3.15d/pyconfig.h"
    grep -q '^#define Py_DEBUG 1' "$include/python3.15d/pyconfig.h" ||
        { echo "the debug interpreter's pyconfig.h does not define Py_DEBUG" >&2; exit 1; }
fi
rm -rf "$prefix"
mv "$prefix.partial" "$prefix"
"$python" -c 'import sys; assert sys.version_info[:2] == (3, 15), sys.version' >&2
if $debug; then
    "$python" -c 'import sys; assert hasattr(sys, "gettotalrefcount"), "not a debug interpreter"' >&2
fi
echo "$python"
