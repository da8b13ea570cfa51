#!/usr/bin/env bash
# Installs everything Veilkeeper's build and tests need on Debian 12 (as root,
# or with sudo). Does nothing that is already done.
set -euo pipefail

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

packages=(cmake g++ make googletest libgtest-dev python3
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          wine wine32:i386 xvfb xdotool x11-apps imagemagick fonts-wqy-zenhei fonts-arphic-uming locales
          nsis zip unzip)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=("${packages[@]}")
else
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Without the locale Wine silently falls back to code page 1252.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
