#!/usr/bin/env bash
# Boots the guest made by tools/guest-image.sh and runs one command in it. The
# guest sees the project's folder at the same path and writes its results
# there: the command and everything it leaves belong in WORK_DIR, inside that
# folder, with the guest's console (WORK_DIR/console). QEMU emulates the CPU in
# software (no KVM needed); the guest's disk is a throw-away copy, so the
# image stays as it was made. Returns once the guest has powered off, or fails
# when it has not after DEADLINE seconds.
# Usage: tools/guest-run.sh IMAGE_DIR WORK_DIR DEADLINE COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
share=$(dirname "$here")
image=$(realpath "$1")
work=$(realpath -m "$2")
deadline=$3
shift 3
case "$work" in
  "$share"/*) ;;
  *) echo "the guest's work must be in the project's folder ($share): $work" >&2; exit 2 ;;
esac
mkdir -p "$work"
job="$work/job.sh"
console="$work/console"
printf '%q ' exec "$@" >"$job"
echo >>"$job"

# QEMU 7.2's software CPU with SMAP makes every 32-bit Wine process oops in
# the guest kernel on its return to user mode (fixed in QEMU 9.1).
status=0
timeout --kill-after=30 "$deadline" \
  qemu-system-x86_64 -accel tcg -cpu max,-smap -smp 2 -m 3G \
  -display none -monitor none -serial "file:$console" -nic none -no-reboot \
  -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
  -append "root=/dev/vda rw console=ttyS0 quiet panic=-1 init=/sbin/veilkeeper-init veilkeeper_share=$share veilkeeper_job=$job" \
  -drive "file=$image/disk.raw,format=raw,if=virtio,snapshot=on" \
  -virtfs "local,path=$share,mount_tag=share,security_model=none,id=share" || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "the guest did not power off within $deadline s; its console: $console" >&2
fi
exit "$status"
