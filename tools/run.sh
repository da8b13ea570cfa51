#!/usr/bin/env bash
# Builds Veilkeeper and runs it under Wine, with Onecopy.dll installed in the
# prefix's system directory, in the flavour this machine runs: i686, the
# program we ship, or x86_64 where 32-bit programs cannot run. On a desktop it
# opens on $DISPLAY; without one it runs in a virtual display and saves a
# screenshot of the main window.
# With --guest it runs the program we ship on any machine: the i686 build in
# an emulated Debian guest (tools/guest-run.sh), bringing back the screenshot.
# Usage: tools/run.sh [--guest] [SCREENSHOT.png]   (default: build/veilkeeper.png)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
if [ "${1:-}" = --guest ]; then
  screenshot=$(realpath -m "${2:-build/veilkeeper.png}")
  command -v qemu-system-x86_64 >/dev/null ||
    { echo "--guest needs QEMU and debootstrap: apt-get install qemu-system-x86 debootstrap" >&2; exit 1; }
  echo "Running the i686 flavour (the program we ship) in a guest under QEMU"
  cmake --preset windows
  cmake --build --preset windows --target Veilkeeper onecopy
  SUDO=
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO tools/guest-image.sh build/guest
  rm -f "$screenshot"
  # About 20 s to boot, 2 to 3 minutes for the prefix, then the program.
  tools/guest-run.sh build/guest build/guest-show 900 \
    "$PWD/tools/guest-show.sh" "$PWD/build/windows/bin" "$PWD/build/guest-show/veilkeeper.png"
  if [ ! -f build/guest-show/veilkeeper.png ]; then
    echo "the guest brought no screenshot back; its console: build/guest-show/console" >&2
    exit 1
  fi
  mv build/guest-show/veilkeeper.png "$screenshot"
  echo "Veilkeeper (i686) ran under Wine in the guest; screenshot of its window: $screenshot"
  exit 0
fi

. tools/wine-env.sh
use_native_flavour
if [ "$WINE_FLAVOUR" = i686 ]; then
  echo "Running the i686 flavour (the program we ship)"
else
  echo "Running the x86_64 flavour: $(tools/wine32-check.sh)"
fi
cmake --preset "$PRESET"
cmake --build --preset "$PRESET" --target Veilkeeper onecopy

use_prefix_with_onecopy "build/wine-run-prefix-$WINE_FLAVOUR"

if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE" "$BIN/Veilkeeper.exe"
fi

screenshot=$(realpath -m "${1:-build/veilkeeper.png}")
trap end_wine_session EXIT
start_virtual_display

start_veilkeeper
save_window_area "$MAIN_WINDOW" "$screenshot"
echo "Veilkeeper ($WINE_FLAVOUR) ran under Wine; screenshot of its window: $screenshot"
