#!/usr/bin/env bash
# Builds Veilkeeper and runs it under Wine, with Onecopy.dll installed in the
# prefix's system directory, in the flavour this machine runs: i686, the
# program we ship, or x86_64 where 32-bit programs cannot run. On a desktop it
# opens on $DISPLAY; without one it runs in a virtual display and saves a
# screenshot of the main window.
# Usage: tools/run.sh [SCREENSHOT.png]   (default: build/veilkeeper.png)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
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
