#!/usr/bin/env bash
# Installs everything Veilkeeper's build and tests need on Debian 12 (as root,
# or with sudo). Does nothing that is already done.
#
# clang and its runtimes build the record fuzzer (libFuzzer with the
# sanitizers); the rest of the native build uses g++.
#
# Both flavours are built everywhere; the x86_64 one runs under Wine's 64-bit
# loader on any x86-64 machine. The i386 parts (Wine's 32-bit loader) come
# last and may fail on a machine without 32-bit support: that machine tests
# the x86_64 flavour (tools/wine32-check.sh decides).
set -euo pipefail

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

packages=(cmake g++ make googletest libgtest-dev python3 clang libclang-rt-dev
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine64 xvfb xdotool x11-apps imagemagick fonts-wqy-zenhei fonts-arphic-uming locales
          nsis zip unzip python3-pefile)
packages_i386=(wine32:i386)

# The guest that runs the 32-bit build where this machine cannot
# (tools/guest-image.sh) takes its packages from here.
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}" "${packages_i386[@]}"
  exit 0
fi

missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

updated=
install() {
  [ -n "$updated" ] || { $SUDO apt-get update -qq; updated=1; }
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@"
}

mapfile -t need < <(missing "${packages[@]}")
[ ${#need[@]} -eq 0 ] || install "${need[@]}"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=
fi
mapfile -t need < <(missing "${packages_i386[@]}")
if [ ${#need[@]} -gt 0 ] && ! install "${need[@]}"; then
  echo "install-deps: the i386 packages could not be installed; only the x86_64 flavour will run" >&2
fi

# Without the locale Wine silently falls back to code page 1252.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# Where 32-bit programs cannot run here, the i686 tiers run in a guest made
# from Debian's packages and booted under QEMU (tools/guest-image.sh).
if ! "$(dirname "$0")/wine32-check.sh" >/dev/null; then
  mapfile -t need < <(missing qemu-system-x86 debootstrap)
  [ ${#need[@]} -eq 0 ] || install "${need[@]}"
fi
