#!/usr/bin/env bash
# Builds Veilkeeper and runs it under Wine, with Onecopy.dll installed in the
# prefix's system directory, in the flavour this machine runs: i686, the
# program we ship, or x86_64 where 32-bit programs cannot run. On a desktop it
# opens on $DISPLAY; without one it runs in a virtual display and saves a
# screenshot of the main window.
# Usage: tools/run.sh [SCREENSHOT.png]   (default: build/veilkeeper.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh
. tools/wine-env.sh
flavour=$(native_wine_flavour)
use_wine_flavour "$flavour"
if [ "$flavour" = i686 ]; then
  preset=windows
  echo "Running the i686 flavour (the program we ship)"
else
  preset=windows-x86_64
  echo "Running the x86_64 flavour: $(tools/wine32-check.sh)"
fi
cmake --preset "$preset"
cmake --build --preset "$preset" --target Veilkeeper onecopy
bin=build/$preset/bin

tools/wine-prefix.sh "$flavour" "build/wine-run-prefix-$flavour"
export WINEPREFIX="$root/build/wine-run-prefix-$flavour"
cp "$bin/Onecopy.dll" "$WINEPREFIX/drive_c/windows/system32/Onecopy.dll"

if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE" "$bin/Veilkeeper.exe"
fi

screenshot=$(realpath -m "${1:-build/veilkeeper.png}")
trap end_wine_session EXIT
start_virtual_display

wine "$bin/Veilkeeper.exe" &
window=$(wait_for_window '^Veilkeeper$')
sleep 1  # let it finish painting
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
echo "Veilkeeper ($flavour) ran under Wine; screenshot of its window: $screenshot"
