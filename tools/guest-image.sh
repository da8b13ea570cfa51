#!/usr/bin/env bash
# Makes the Debian 12 guest in which a machine that cannot run 32-bit programs
# runs the 32-bit build (tools/guest-run.sh boots it): Debian's stock kernel,
# which runs 32-bit programs, and the packages tools/install-deps.sh installs
# for running Windows programs (not those for building them). Needs root and
# Debian's mirror. Made again only when what goes into it changes: this
# script, the guest's init, or the package list.
# Usage: tools/guest-image.sh DIR   (leaves DIR/disk.raw, DIR/vmlinuz, DIR/initrd.img)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$(realpath -m "$1")

# Only what builds the program stays on the host.
build_only='^(cmake|g\+\+|make|googletest|libgtest-dev|clang|libclang-rt-dev|nsis|zip|unzip|python3-pefile|.*mingw.*)$'
mapfile -t packages < <("$here/install-deps.sh" --list | grep -Ev "$build_only")
# What a bootable guest needs besides: a kernel, its initrd with the disk's
# driver, and the modules for the shared folder.
packages+=(linux-image-amd64 initramfs-tools kmod)

# One maker at a time: a second waits, then finds the image made.
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9

inputs=$( { cat "$0" "$here/guest-init.sh"; printf '%s\n' "${packages[@]}"; } | sha256sum | cut -d' ' -f1)
if [ -f "$dir/inputs" ] && [ "$(cat "$dir/inputs")" = "$inputs" ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "making the guest image needs root (debootstrap, chroot)" >&2
  exit 1
fi
for tool in debootstrap mkfs.ext4; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (tools/install-deps.sh installs it)" >&2; exit 1; }
done

# The host's own Debian mirror, the one reachable here.
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
          grep -v '^ *#' || true)
mirror=$(grep -Eo 'https?://[^ ]*/debian/?( |$)' <<<"$sources" | head -n 1 | tr -d ' ' || true)
security=$(grep -Eo 'https?://[^ ]*/debian-security/?( |$)' <<<"$sources" | head -n 1 | tr -d ' ' || true)
mirror=${mirror:-http://deb.debian.org/debian}

rm -rf "$dir"
mkdir -p "$dir"
root="$dir/root"
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[i]}" 2>/dev/null || true
  done
  # Never through a mount that is still there.
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

echo "guest image: debootstrap from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
  { tail -n 20 "$dir/debootstrap.log" >&2; exit 1; }

{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
# No service starts inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
for fs in proc sys dev; do
  mount --bind "/$fs" "$root/$fs"
  mounted+=("$root/$fs")
done
# The host's downloaded packages serve the guest too.
if [ -d /var/cache/apt/archives ]; then
  mount --bind /var/cache/apt/archives "$root/var/cache/apt/archives"
  mounted+=("$root/var/cache/apt/archives")
fi

echo "guest image: installing ${packages[*]}"
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive sh -ec '
  dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "$@"
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
' guest "${packages[@]}" >"$dir/install.log" 2>&1 || { tail -n 20 "$dir/install.log" >&2; exit 1; }

rm -f "$root/usr/sbin/policy-rc.d"
install -m 755 "$here/guest-init.sh" "$root/sbin/veilkeeper-init"
echo veilkeeper-guest >"$root/etc/hostname"
kernel=$(ls "$root"/boot/vmlinuz-* | sort -V | tail -n 1)
cp "$kernel" "$dir/vmlinuz"
cp "$root/boot/initrd.img-${kernel##*/vmlinuz-}" "$dir/initrd.img"

for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
  umount "${mounted[i]}"
done
mounted=()
rm -rf "$root"/var/cache/apt/archives/*.deb "$root"/var/lib/apt/lists/*

# Made from the tree directly: no loop device needed. Sparse: it takes only
# what the files take.
truncate -s 6G "$dir/disk.raw"
mkfs.ext4 -q -F -L veilkeeper-guest -d "$root" "$dir/disk.raw"
echo "$inputs" >"$dir/inputs"
echo "guest image ready: $dir"
