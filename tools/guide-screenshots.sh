#!/usr/bin/env bash
# Makes the user guide's screenshots under Wine in a virtual display:
# docs/guide/images/main.png, menu.png and hotkey.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
# The flavour this machine runs: the windows look the same in both.
. tools/wine-env.sh
use_native_flavour
echo "Screenshots of the $WINE_FLAVOUR flavour"
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" --target Veilkeeper onecopy

use_prefix_with_onecopy "build/wine-guide-prefix-$WINE_FLAVOUR"
wine reg delete 'HKCU\Software\Veilkeeper' /f >/dev/null 2>&1 || true

out=docs/guide/images
mkdir -p "$out"
trap end_wine_session EXIT
start_virtual_display

# Saves the screen area of a window, with a margin, to a file; without
# metadata or dates, so an unchanged window makes an unchanged picture.
shoot() {
  save_window_area "$1" "$2" "${3:-0}" "${4:-0}" -strip -define png:exclude-chunks=date,time
}

start_veilkeeper
shoot "$MAIN_WINDOW" "$out/main.png"

# The command menu opens to the right of the ">>" button.
eval "$(xdotool getwindowgeometry --shell "$MAIN_WINDOW")"
xdotool mousemove "$((X + WIDTH - 30))" "$((Y + 40))" click 1
sleep 1
shoot "$MAIN_WINDOW" "$out/menu.png" 140 0
xdotool key Escape
sleep 0.5

# The hotkey settings dialog, from the menu's first entry.
xdotool mousemove "$((X + WIDTH - 30))" "$((Y + 40))" click 1
sleep 0.5
xdotool key Down Return
dialog=$(wait_for_window '快捷键设定')
sleep 0.5
shoot "$dialog" "$out/hotkey.png"
xdotool key Escape
echo "Screenshots in $out"
