#!/usr/bin/env bash
# Provisions a private CPython (Debian sid's build, with sid's glibc) into a
# cache outside the work tree, without touching the system's apt state.
# Prints the interpreter's path on the last line of standard output.
#   scripts/provision_python.sh [VERSION] [--debug]
#     VERSION   3.13, 3.14 or 3.15 (the default): whichever sid packages today,
#               never a pinned package version, since old ones leave the mirror
#     --debug   the debug build (python3.Xd, Py_DEBUG) in a prefix of its own
set -euo pipefail

cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}
version=3.15
debug=false
for arg in "$@"; do
    case $arg in
        --debug) debug=true ;;
        3.13 | 3.14 | 3.15) version=$arg ;;
        *) echo "usage: $0 [3.13|3.14|3.15] [--debug]" >&2; exit 2 ;;
    esac
done
name=python$version
minor=${version#3.}
if $debug; then
    prefix=$cache/${name}d
    python=$prefix/usr/bin/${name}d
else
    prefix=$cache/$name
    python=$prefix/usr/bin/$name
fi

if [ -x "$python" ] && "$python" -c "import sys; assert sys.version_info[:2] == (3, $minor)" 2>/dev/null; then
    echo "$python"
    exit 0
fi

source "$(dirname "$0")/debian_apt.sh"
install_missing patchelf
apt_dir=$cache/apt
private_apt "$apt_dir" sid
# A download folder per prefix: provisioning two versions at once must not
# unpack one's packages into the other.
debs=$apt_dir/debs/$(basename "$prefix")
mkdir -p "$debs"

libs=(libc6 libgcc-s1 libssl3t64 libexpat1 libzstd1 zlib1g libbz2-1.0 libffi8 liblzma5
      libncursesw6 libtinfo6 libreadline8t64 libsqlite3-0 libuuid1)
# Before 3.15 Debian still builds the dbm module against Berkeley DB.
[ "$minor" -lt 15 ] && libs+=(libdb5.3t64)
# The test suite: the tests run the interpreter's own tests of base64 against the drop-in.
pythons=(lib$name-minimal lib$name-stdlib lib$name $name-minimal $name
         lib$name-dev lib$name-testsuite python3-pip-whl python3-setuptools-whl)
$debug && pythons+=($name-dbg lib$name-dbg)
rm -f "$debs"/*.deb
(cd "$debs" && apt-get "${APT_OPTS[@]}" download "${libs[@]/%//sid}" "${pythons[@]}" >&2)

rm -rf "$prefix.partial"
mkdir -p "$prefix.partial"
for deb in "$debs"/*.deb; do dpkg -x "$deb" "$prefix.partial"; done
lib=$prefix/usr/lib/x86_64-linux-gnu
# --force-rpath: a DT_RPATH on the executable also covers the libraries that
# extension modules load later, so the whole process uses the private glibc.
patchelf --set-interpreter "$lib/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$lib" \
    "$prefix.partial/usr/bin/$name"
include=$prefix.partial/usr/include
cp "$include/x86_64-linux-gnu/$name/pyconfig.h" "$include/$name/pyconfig.h"
if $debug; then
    patchelf --set-interpreter "$lib/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$lib" \
        "$prefix.partial/usr/bin/${name}d"
    # Debian's debug include folder links back to the release headers, whose
    # pyconfig.h lacks Py_DEBUG: a module built against it loads in the debug
    # interpreter but miscounts every reference. Make a real copy with the
    # debug configuration.
    rm -rf "$include/${name}d"
    cp -rL "$include/$name" "$include/${name}d"
    cp "$include/x86_64-linux-gnu/${name}d/pyconfig.h" "$include/${name}d/pyconfig.h"
    grep -q '^#define Py_DEBUG 1' "$include/${name}d/pyconfig.h" ||
        { echo "the debug interpreter's pyconfig.h does not define Py_DEBUG" >&2; exit 1; }
fi
rm -rf "$prefix"
mv "$prefix.partial" "$prefix"
"$python" -c "import sys; assert sys.version_info[:2] == (3, $minor), sys.version" >&2
"$python" -c 'import test.test_base64' >&2 || { echo "$python lacks its test suite" >&2; exit 1; }
if $debug; then
    "$python" -c 'import sys; assert hasattr(sys, "gettotalrefcount"), "not a debug interpreter"' >&2
fi
echo "$python"
