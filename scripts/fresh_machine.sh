#!/usr/bin/env bash
# The README's two commands as a new user runs them: in a Debian 12 chroot
# that has only what debootstrap gives plus a C++ compiler and git, on a clean
# clone of this checkout's HEAD, so that nothing installed by hand on this
# machine can hide a missing step. Takes about as long as scripts/test.sh.
#   scripts/fresh_machine.sh [DIR]   the chroot goes to DIR (default /var/tmp/vantorq-fresh),
#                                    made anew on every run
# Needs root (debootstrap, mounts). The mirror is the machine's own.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian_apt.sh
root=${1:-/var/tmp/vantorq-fresh}

install_missing debootstrap
unmount() { umount -R "$root" 2>/dev/null || true; }
trap unmount EXIT
unmount
# Never remove a tree that still has the machine's /dev or /sys mounted in it.
if grep -q " $root[/ ]" /proc/mounts; then echo "$root still has mounts: not removing it" >&2; exit 1; fi
rm -rf "$root"

echo "== Debian 12 with a C++ compiler into $root"
started=$SECONDS
debootstrap --variant=minbase --include=build-essential,git bookworm "$root" "$(debian_mirror)" >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; exit 1; }
# What every machine here is given rather than installs: its name servers,
# and the certificates (and pip's setting naming them) of the way out to PyPI.
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The local certificates go where Debian's ca-certificates finds them again
# when a package installed later rebuilds the bundle.
mkdir -p "$root/etc/ssl/certs" "$root/usr/local/share/ca-certificates"
cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/"
cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
if [ -f /etc/pip.conf ]; then cp /etc/pip.conf "$root/etc/pip.conf"; fi
# The root a mount point of its own, as on a machine, so that scripts/wheel.sh
# can make its private mount namespace.
mount --bind "$root" "$root"
mount -t proc proc "$root/proc"
# Slaves, so that unmounting them at the end cannot propagate back to the
# machine's own /sys and /dev.
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
git clone -q --no-local "$PWD" "$root/root/vantorq"
echo "(chroot made in $(( SECONDS - started ))s)"

for command in scripts/setup.sh scripts/test.sh; do
    echo "== $command"
    started=$SECONDS
    chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 TERM=dumb bash -c "cd /root/vantorq && $command"
    echo "($command took $(( SECONDS - started ))s)"
done
