#!/usr/bin/env bash
# Provisions a private CPython 3.15 (Debian sid build, with sid's glibc) into a
# cache outside the work tree, without touching the system's apt state.
# Prints the interpreter's path on the last line of standard output.
set -euo pipefail

cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}
prefix=$cache/python3.15
python=$prefix/usr/bin/python3.15

if [ -x "$python" ] && "$python" -c 'import sys; assert sys.version_info[:2] == (3, 15)' 2>/dev/null; then
    echo "$python"
    exit 0
fi

command -v patchelf >/dev/null || {
    apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq patchelf >&2
}

source "$(dirname "$0")/debian_apt.sh"
apt_dir=$cache/apt
private_apt "$apt_dir" sid
mkdir -p "$apt_dir/debs"

libs=(libc6 libgcc-s1 libssl3t64 libexpat1 libzstd1 zlib1g libbz2-1.0 libffi8 liblzma5
      libncursesw6 libtinfo6 libreadline8t64 libsqlite3-0 libuuid1)
pythons=(libpython3.15-minimal libpython3.15-stdlib libpython3.15 python3.15-minimal python3.15
         libpython3.15-dev python3-pip-whl python3-setuptools-whl)
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
cp "$prefix.partial/usr/include/x86_64-linux-gnu/python3.15/pyconfig.h" \
   "$prefix.partial/usr/include/python3.15/pyconfig.h"
rm -rf "$prefix"
mv "$prefix.partial" "$prefix"
"$python" -c 'import sys; assert sys.version_info[:2] == (3, 15), sys.version' >&2
echo "$python"
