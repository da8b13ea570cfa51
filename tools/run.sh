#!/usr/bin/env bash
# Builds Veilkeeper and runs it under Wine, with Onecopy.dll installed in the
# prefix's system directory. On a desktop it opens on $DISPLAY; without one it
# runs in a virtual display and saves a screenshot of the main window.
# Usage: tools/run.sh [SCREENSHOT.png]   (default: build/veilkeeper.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh
cmake --preset windows
cmake --build --preset windows

. tools/wine-env.sh
tools/wine-prefix.sh build/wine-run-prefix
export WINEPREFIX="$root/build/wine-run-prefix"
cp build/windows/bin/Onecopy.dll "$WINEPREFIX/drive_c/windows/system32/Onecopy.dll"

if [ -n "${DISPLAY:-}" ]; then
  exec wine build/windows/bin/Veilkeeper.exe
fi

screenshot=$(realpath -m "${1:-build/veilkeeper.png}")
trap end_wine_session EXIT
start_virtual_display

wine build/windows/bin/Veilkeeper.exe &
window=$(wait_for_window '^Veilkeeper$')
sleep 1  # let it finish painting
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
echo "Veilkeeper ran under Wine; screenshot of its window: $screenshot"
