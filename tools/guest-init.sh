#!/bin/bash
# The guest's first process (tools/guest-image.sh puts it in the image): mounts
# the project's folder from the host at the same path, runs the job the host
# named (tools/guest-run.sh), ends every process and powers off. The kernel's
# command line hands over veilkeeper_share and veilkeeper_job.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
# The initrd hands some of these over already mounted.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mountpoint -q /dev/pts || mount -t devpts devpts /dev/pts
for dir in /dev/shm /tmp /run; do mount -t tmpfs tmpfs "$dir"; done
hostname veilkeeper-guest
modprobe 9pnet_virtio
modprobe 9p
mkdir -p "$veilkeeper_share"
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 share "$veilkeeper_share"; then
  echo "veilkeeper-guest: up after $(cut -d' ' -f1 /proc/uptime) s; running $veilkeeper_job"
  bash "$veilkeeper_job"
  echo "veilkeeper-guest: the job ended ($?) after $(cut -d' ' -f1 /proc/uptime) s"
else
  echo "veilkeeper-guest: the project's folder could not be mounted"
fi

# Power off only once nothing runs any more and the disk is read-only. Being
# the first process, the shell also reaps whatever the job left behind.
# Kernel threads have no command line.
others_run() {
  local process line
  for process in /proc/[0-9]*; do
    [ "${process#/proc/}" != 1 ] || continue
    IFS= read -r -d '' line <"$process/cmdline" 2>/dev/null && return 0
  done
  return 1
}
kill -TERM -1 2>/dev/null
for _ in $(seq 1 100); do
  others_run || break
  sleep 0.1
done
kill -KILL -1 2>/dev/null
wait 2>/dev/null
umount "$veilkeeper_share"
sync
# Loaded while the disk is still there: the first process must never end,
# and the disk goes away with the power.
sleep infinity &
mount -o remount,ro /
echo o >/proc/sysrq-trigger
wait
