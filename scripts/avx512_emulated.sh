#!/usr/bin/env bash
# Runs a test binary on a processor with AVX-512 F/BW/DQ/VL/VBMI/VBMI2: natively when
# this one has them, otherwise inside Bochs' Tiger Lake model, booting a Debian
# kernel whose initramfs holds the binary and the libraries it loads. Fails when
# the tests fail, the guest dies, or the run outlives its time limit.
#   scripts/avx512_emulated.sh TEST_BINARY [ARGUMENTS...]
#   VANTORQ_AVX512_EMULATE=1   emulates even on a processor with AVX-512
# Emulator, kernel and boot files are unpacked from Debian's packages into
# $VANTORQ_CACHE (default ~/.cache/vantorq) on first use.
set -euo pipefail
binary=$(realpath "$1")
shift
cd "$(dirname "$0")/.."

# Tiger Lake, like every processor with AVX-512 VBMI2, detects every
# capability flag but the unused lowest-tier bit.
expected_capabilities=0xfe
time_limit=${VANTORQ_AVX512_TIME_LIMIT:-1500}

if [ "${VANTORQ_AVX512_EMULATE:-0}" = 0 ] &&
   grep -qw avx512f /proc/cpuinfo && grep -qw avx512bw /proc/cpuinfo && grep -qw avx512vbmi /proc/cpuinfo &&
   grep -qw avx512_vbmi2 /proc/cpuinfo && grep -qw avx512dq /proc/cpuinfo && grep -qw avx512vl /proc/cpuinfo; then
    echo "-- AVX-512 (this processor's own)"
    VANTORQ_EXPECT_CAPABILITIES=$expected_capabilities exec "$binary" "$@"
fi

echo "-- AVX-512 (Bochs' Tiger Lake)"
cache=${VANTORQ_CACHE:-$HOME/.cache/vantorq}
root=$cache/avx512

provision() {
    source scripts/debian_apt.sh
    rm -rf "$root"
    mkdir -p "$root/debs/partial"
    # The machine's own release for the tools; apt fetches whatever of their
    # dependencies the machine lacks, and the tools themselves in any case.
    # bochs-term stands in for the display the emulator's package asks for.
    local tools=(bochs bochs-term bochsbios vgabios busybox-static isolinux syslinux-common genisoimage)
    private_apt "$cache/apt-host"
    apt-get "${APT_OPTS[@]}" -o Dir::Cache::Archives="$root/debs" install -y -qq --download-only \
        --no-install-recommends "${tools[@]}" >&2
    (cd "$root/debs" && apt-get "${APT_OPTS[@]}" download "${tools[@]}" >&2)
    # Unstable's cloud kernel: zstd-compressed, so it unpacks in seconds under
    # emulation where the stable kernel's xz takes minutes.
    private_apt "$cache/apt" sid
    # The metapackage names the versioned image, whose kernel file may sit in a
    # separate binary package.
    local image kernel
    image=$(apt-cache "${APT_OPTS[@]}" depends linux-image-cloud-amd64 | awk '/Depends: linux-image-/ {print $2; exit}')
    kernel=$(apt-cache "${APT_OPTS[@]}" depends "$image" | awk '/Depends: linux-binary-/ {print $2; exit}')
    (cd "$root/debs" && apt-get "${APT_OPTS[@]}" download "${kernel:-$image}" >&2)
    for deb in "$root/debs"/*.deb; do dpkg -x "$deb" "$root/files"; done
    find "$root/files" -path '*/boot/vmlinuz-*' -o -path '*/modules/*/vmlinuz' | head -n 1 | xargs -I{} cp {} "$root/vmlinuz"
    rm -rf "$root/debs" "$root/files/boot" "$root/files/lib/modules" "$root/files/usr/lib/modules"
    touch "$root/provisioned"
}
[ -f "$root/provisioned" ] || provision
files=$root/files
busybox=$files/bin/busybox

work=build/avx512
rm -rf "$work"
mkdir -p "$work/initrd/bin" "$work/initrd/tests" "$work/cd/isolinux"

# The initramfs: busybox as the shell, the binary, and every library it loads.
cp "$busybox" "$work/initrd/bin/busybox"
cp "$binary" "$work/initrd/tests/"
for lib in $(ldd "$binary" | grep -o '/[^ ]*'); do cp -L --parents "$lib" "$work/initrd"; done
printf -v arguments ' %q' "$@"
cat >"$work/initrd/init" <<EOF
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /dev /tmp
mount -t proc proc /proc
mount -t devtmpfs dev /dev
echo "vantorq-guest: start"
VANTORQ_EXPECT_CAPABILITIES=$expected_capabilities /tests/$(basename "$binary")$arguments
echo "vantorq-guest: status \$?"
# Bochs ends when "Shutdown" reaches I/O port 0x8900, one byte at a time.
[ -e /dev/port ] || mknod /dev/port c 1 4
for c in S h u t d o w n; do printf \$c | dd of=/dev/port bs=1 conv=notrunc seek=\$((0x8900)) 2>/dev/null; done
sleep 60
EOF
chmod +x "$work/initrd/init"
(cd "$work/initrd" && find . | "$busybox" cpio -o -H newc 2>/dev/null) >"$work/cd/initrd"

cp "$files/usr/lib/ISOLINUX/isolinux.bin" "$files/usr/lib/syslinux/modules/bios/ldlinux.c32" "$work/cd/isolinux/"
cp "$root/vmlinuz" "$work/cd/vmlinuz"
# Bochs 2.7 reports no size for the PKRU state and the standard instead of the
# compacted XSAVE layout: without clearing those features the kernel refuses
# to enable the AVX-512 register state.
cat >"$work/cd/isolinux/isolinux.cfg" <<EOF
DEFAULT tests
PROMPT 0
LABEL tests
  KERNEL /vmlinuz
  INITRD /initrd
  APPEND console=ttyS0,115200 quiet loglevel=3 nokaslr mitigations=off rdinit=/init clearcpuid=pku,xsaves,xsavec
EOF
# The tools' own libraries, fetched where the machine lacks them, load from $files.
LD_LIBRARY_PATH=$files/usr/lib/x86_64-linux-gnu:$files/lib/x86_64-linux-gnu \
    "$files/usr/bin/genisoimage" -quiet -o "$work/cd.iso" -b isolinux/isolinux.bin -c isolinux/boot.cat \
        -no-emul-boot -boot-load-size 4 -boot-info-table "$work/cd"

initrd_mib=$(( $(stat -c %s "$work/cd/initrd") >> 20 ))
# No headless display exists in Debian's build: rfb without waiting for a
# client, which listens on TCP 5900 while Bochs runs.
cat >"$work/bochsrc" <<EOF
cpu: model=tigerlake, count=1, ips=100000000
memory: guest=$(( 3 * initrd_mib + 512 )), host=$(( 3 * initrd_mib + 512 ))
clock: sync=none
romimage: file=$files/usr/share/bochs/BIOS-bochs-latest
vgaromimage: file=$files/usr/share/vgabios/vgabios.bin
display_library: rfb, options="timeout=0"
ata0-master: type=cdrom, path=$work/cd.iso, status=inserted
boot: cdrom
com1: enabled=1, mode=file, dev=$work/serial.log
log: $work/bochs.log
panic: action=fatal
error: action=ignore
info: action=ignore
debug: action=ignore
EOF
# The package's emulator has its debugger built in: tell it to continue.
echo c >"$work/continue"

: >"$work/serial.log"
LD_LIBRARY_PATH=$files/usr/lib/x86_64-linux-gnu:$files/lib/x86_64-linux-gnu \
LTDL_LIBRARY_PATH=$files/usr/lib/x86_64-linux-gnu/bochs/plugins \
    "$files/usr/bin/bochs-bin" -q -f "$work/bochsrc" -rc "$work/continue" </dev/null >"$work/bochs.out" 2>&1 &
bochs_pid=$!
tail -n +1 -f --pid="$bochs_pid" "$work/serial.log" &
tail_pid=$!
stop() {
    kill "$bochs_pid" 2>/dev/null || true
    wait "$bochs_pid" 2>/dev/null || true
    kill "$tail_pid" 2>/dev/null || true
    wait "$tail_pid" 2>/dev/null || true
}
trap stop EXIT

started=$SECONDS
verdict=""
while [ -z "$verdict" ]; do
    sleep 2
    if grep -q '^vantorq-guest: status' "$work/serial.log"; then
        verdict=$(sed -n 's/^vantorq-guest: status \([0-9]*\).*/\1/p' "$work/serial.log" | head -n 1)
    elif grep -q 'Kernel panic' "$work/serial.log"; then
        verdict="the guest kernel panicked"
    elif ! kill -0 "$bochs_pid" 2>/dev/null; then
        verdict="Bochs ended before the tests did (see $work/bochs.out)"
    elif [ $(( SECONDS - started )) -gt "$time_limit" ]; then
        verdict="no result after ${time_limit}s"
    fi
done
# Let Bochs take the guest's shutdown, then end it either way.
for _ in 1 2 3 4 5; do kill -0 "$bochs_pid" 2>/dev/null || break; sleep 1; done
stop
trap - EXIT
echo "(emulation took $(( SECONDS - started ))s)"
if [ "$verdict" != 0 ]; then
    [[ $verdict == [0-9]* ]] && verdict="the tests exited with status $verdict"
    echo "AVX-512 run failed: $verdict" >&2
    exit 1
fi
