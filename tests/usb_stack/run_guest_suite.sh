#!/usr/bin/env bash
# The real-USB-stack suite: boots Debian's own kernel in QEMU from a small
# initramfs that holds the freshly built tool, library, gadget programmers and the
# suite with their shared libraries, runs the suite there and brings back each
# test's result, the guest's traces and its kernel log.
#
#   tests/usb_stack/run_guest_suite.sh BUILD_DIR [gtest arguments...]
#
# The kernel package (linux-image-*-amd64, the one linux-image-amd64 depends on) is
# downloaded once with apt-get download and unpacked, never installed, into
# $KORVID_USB_CACHE (default ~/.cache/korvid-usb). Results: BUILD_DIR/usb-guest/.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${KORVID_USB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvid-usb}
work=$build/usb-guest
started=$(date +%s)

# The kernel, once.
package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
[ -n "$package" ] || { echo "usb suite: no kernel package is known to apt" >&2; exit 1; }
kernel=$cache/$package
if [ ! -e "$kernel/unpacked" ]; then
  echo "== usb suite: fetching $package"
  rm -rf "$kernel" && mkdir -p "$kernel/deb"
  (cd "$kernel/deb" && apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
  dpkg-deb -x "$kernel"/deb/*.deb "$kernel"
  rm -rf "$kernel/deb"
  touch "$kernel/unpacked"
fi
vmlinuz=$(ls "$kernel"/boot/vmlinuz-*)
modules=$(ls -d "$kernel"/lib/modules/*/kernel)

# The guest's root file system.
root=$work/root
rm -rf "$work" && mkdir -p "$root"/{bin,modules,suite,etc,proc,sys,dev,tmp,run,out}
cp /bin/busybox "$root/bin/"
for module in usb-common usbcore udc-core configfs libcomposite usb_f_fs hid usbhid hid-generic \
              dummy_hcd virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci \
              virtio_blk; do
  cp "$(find "$modules" -name "$module.ko" | head -n 1)" "$root/modules/"
done
[ -x "$build/tests/trace/replay_traces" ] || { echo "usb suite: $build lacks the test programs" >&2; exit 1; }
programs=("$build/cli/korvid" "$build/tests/usb_stack/korvid-usb-gadget"
          "$build/tests/usb_stack/usb_stack_test" "$build/tests/usb_stack/usb_round_trip")
cp "${programs[@]}" "$root/suite/"
# The library with the simulated programmers' firmware images, so that a re-flash
# can be tried on a gadget; it takes the place of the one the programs were linked with.
library=$build/tests/usb_stack/synthetic-firmware/libkorvid.so.7
for program in "${programs[@]}"; do
  ldd "$program" | awk '/=> \// {print $3} /^\t\/lib/ {print $1}'
done | sort -u | grep -v '/libkorvid\.so' | while read -r lib; do
  mkdir -p "$root$(dirname "$lib")"
  cp -L "$lib" "$root$lib"
done
cp -L "$library" "$root/lib/x86_64-linux-gnu/libkorvid.so.7"
cp "$here/guest/init" "$root/init"
cp "$here/guest/korvid-hotplug" "$root/bin/"
printf 'root:x:0:0:root:/root:/bin/sh\ntester:x:1000:1000:tester:/tmp:/bin/sh\n' > "$root/etc/passwd"
printf 'root:x:0:\ntester:x:1000:\nkorvid:x:1001:tester\n' > "$root/etc/group"
[ $# -eq 0 ] || printf '%s\n' "$@" > "$root/suite/arguments"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) > "$work/initrd.gz"

# The run; the guest writes its results as a tar file onto the second disk.
truncate -s 64M "$work/out.img"
echo "== usb suite: booting $(basename "$vmlinuz") in QEMU (software emulation)"
set +e
timeout "${KORVID_USB_TIMEOUT:-1200}" qemu-system-x86_64 -accel tcg -m 1024 -smp 2 -nographic \
  -nodefaults -no-reboot -serial stdio -kernel "$vmlinuz" -initrd "$work/initrd.gz" \
  -drive "file=$work/out.img,format=raw,if=virtio" \
  -append "console=ttyS0 panic=-1 quiet loglevel=4" < /dev/null 2>&1 | tr -d '\r' | tee "$work/console.log"
set -e
mkdir -p "$work/results"
tar xf "$work/out.img" -C "$work/results" 2>/dev/null || true

results=$work/results/results.xml
if [ ! -s "$results" ]; then
  echo "usb suite: the guest brought back no results (see $work/console.log)" >&2
  exit 1
fi
echo "== usb suite: the kernel enumerated:"
grep -E 'New USB device found|hidraw[0-9]+: USB HID|USB disconnect' "$work/results/dmesg.txt" \
  | sed -E 's/^\[[^]]*\] //; s/device number [0-9]+/device/; s/\.[0-9A-F]{4}: hiddev[0-9]+,hidraw[0-9]+/: hidraw/' \
  | sort | uniq -c | sed -E 's/^ *([0-9]+) /   \1 x  /'
echo "== usb suite: korvid detect found, on its real backends:"
grep '^enumerated: ' "$work/console.log" | sed 's/^enumerated: /   /' || true
replayed=0
"$build/tests/trace/replay_traces" "$work"/results/traces/* > "$work/replay.log" || replayed=$?
echo "== usb suite: of the guest's $(ls "$work"/results/traces | wc -l) wire traces, $(grep -c '^replays:' "$work/replay.log") replay on the host"
grep -v '^replays:' "$work/replay.log" | sed 's/^/   /' || true
grep '^timing: ' "$work/console.log" | sed 's/^timing: /== usb suite: /' || true
tests=$(grep -o 'tests="[0-9]*"' "$results" | head -n 1 | tr -dc 0-9)
failures=$(grep -o 'failures="[0-9]*"' "$results" | head -n 1 | tr -dc 0-9)
echo "== usb suite: $tests tests, $failures failed, $(( $(date +%s) - started )) s in all"
[ "$failures" = 0 ] && [ "${tests:-0}" -gt 0 ] && [ "$replayed" = 0 ]
