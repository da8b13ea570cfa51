#!/usr/bin/env bash
# Draws the user guide's pictures of a build under Wine, in a private copy of a
# booted prefix (a first start: nothing stored) and a virtual display of its
# own: main.png, menu.png and hotkey.png in OUT_DIR. The guide's command
# (tools/guide-screenshots.sh) and the test that the committed pictures are
# still what the build draws (tools/guide-pictures-test.sh) both draw here.
# Exits 77 (skipped) with the reason when the flavour cannot run here.
# Usage: tools/guide-pictures.sh i686|x86_64 BIN_DIR TEMPLATE_PREFIX OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

use_wine_flavour "$1"
skip_flavour_that_cannot_run "$1"
BIN=$(realpath "$2")
template=$(realpath "$3")
out=$4
mkdir -p "$out"

use_private_prefix_copy "$template"
cp "$BIN/Onecopy.dll" "$WINEPREFIX/drive_c/windows/system32/Onecopy.dll"
# A caret that never blinks: a blinking one is in a picture or not by chance.
wine reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /t REG_SZ /d -1 /f >/dev/null 2>&1
start_virtual_display

# Saves the screen area of a window, with a margin, to a file; without
# metadata or dates, so an unchanged window makes an unchanged picture.
shoot() {
  save_window_area "$1" "$2" "${3:-0}" "${4:-0}" -strip -define png:exclude-chunks=date,time
}

visible_windows() {
  xdotool search --onlyvisible --name '' 2>/dev/null || true
}

# Waits for a visible window that is none of the ones listed (a menu has no
# name to wait for); prints its id.
wait_for_new_window() {
  local known=$1 id deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    id=$(visible_windows | grep -vxF -e "$known" | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no new window appeared" >&2
  return 1
}

wait_until_gone() {
  local deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    visible_windows | grep -qxF "$1" || return 0
    sleep 0.1
  done
  echo "window $1 stayed on screen" >&2
  return 1
}

# Opens the ">>" button's menu with a click, as a user does; sets MENU.
open_command_menu() {
  local X Y WIDTH HEIGHT SCREEN WINDOW before
  before=$(visible_windows)
  eval "$(xdotool getwindowgeometry --shell "$MAIN_WINDOW")"
  xdotool mousemove "$((X + WIDTH - 30))" "$((Y + 40))" click 1
  MENU=$(wait_for_new_window "$before")
}

start_veilkeeper
shoot "$MAIN_WINDOW" "$out/main.png"

# The menu opens to the right of the ">>" button, past the window's edge.
open_command_menu
wait_until_painted "$MAIN_WINDOW" 140 0
shoot "$MAIN_WINDOW" "$out/menu.png" 140 0
xdotool key Escape
wait_until_gone "$MENU"

# The hotkey settings dialog, from the menu's first entry.
open_command_menu
wait_until_painted "$MAIN_WINDOW" 140 0
xdotool key Down Return
dialog=$(wait_for_window '快捷键设定')
wait_until_painted "$dialog"
shoot "$dialog" "$out/hotkey.png"
xdotool key Escape
