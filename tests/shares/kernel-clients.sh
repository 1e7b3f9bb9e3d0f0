#!/usr/bin/env bash
# The kernel's own NFS and cifs clients, in a guest: Debian's kernel (which
# scripts/install-deps check unpacks into /opt/hollowbrook-guest) booted
# under qemu without KVM, one CPU, no network card, this machine's root
# read-only over 9p with a tmpfs laid over it, so that the servers and
# clients installed here run there. in-guest.sh runs the cases.
# Usage: kernel-clients.sh TOOL
set -euo pipefail
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL (kernel clients): $*"; exit 1; }
ready=$(ls /opt/hollowbrook-guest/linux-image-*/ready 2>/dev/null | tail -n 1)
kernel=${ready:+$(dirname "$ready")/boot}
[ -n "$kernel" ] || fail "no guest kernel in /opt/hollowbrook-guest: run scripts/install-deps check"
modules=$(dirname "$kernel")
version=$(ls "$modules/lib/modules" | head -n 1)
run=$(mktemp -d /tmp/hollowbrook-guest-XXXXXX)
qemu_pid=
cleanup() {
  local status=$?
  [ -z "$qemu_pid" ] || kill "$qemu_pid" 2>/dev/null
  [ -n "${HOLLOWBROOK_KEEP:-}" ] || rm -rf "$run"
  exit "$status"
}
trap cleanup EXIT

# The initramfs: a static busybox, the modules that mount the root, and init.
initramfs=$run/initramfs
mkdir -p "$initramfs/bin" "$initramfs/modules" "$initramfs/proc" "$initramfs/dev"
cp /bin/busybox "$initramfs/bin/busybox"
cp "$here/guest-init" "$initramfs/init"
for module in virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci netfs \
  fscache 9pnet 9pnet_virtio 9p overlay; do
  found=$(find "$modules/lib/modules/$version" -name "$module.ko*" | head -n 1)
  [ -z "$found" ] || { cp "$found" "$initramfs/modules/$module.ko" && echo "$module"; }
done >"$initramfs/modules/order"
(cd "$initramfs" && find . | cpio -o -H newc --quiet | gzip -1) >"$run/initramfs.gz"
rm -rf "$initramfs"

cp "$here/in-guest.sh" "$run/in-guest.sh"
printf 'tool=%q\nmodules=%q\n' "$tool" "$modules" >"$run/settings"
touch "$run/results"
timeout 240 qemu-system-x86_64 -accel tcg -m 1024 -smp 1 -nodefaults -nographic -no-reboot \
  -kernel "$kernel/vmlinuz-$version" -initrd "$run/initramfs.gz" \
  -append "console=ttyS0 quiet panic=-1" -serial "file:$run/console.log" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -virtfs "local,path=$run,mount_tag=hbrun,security_model=none,multidevs=remap" &
qemu_pid=$!
wait "$qemu_pid" || true
qemu_pid=
if ! grep -q '^done$' "$run/results"; then
  cat "$run/console.log" "$run/guest.log" 2>/dev/null | tail -n 40
  fail "the guest did not finish its cases"
fi
grep -v '^done$' "$run/results" | sort
! grep -q '^FAIL' "$run/results" || { tail -n 20 "$run/guest.log"; fail "a change was seen late"; }
echo "PASS (kernel clients): NFS v3 and v4.2 and cifs, defaults, a name and a pattern"
