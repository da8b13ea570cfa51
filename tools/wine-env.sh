# Sourced by the Wine scripts: one environment for every Wine run of ours.
TOOLS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEDEBUG=-all
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
# No network for Mono or Gecko, and no desktop to add menu entries to.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The program runs in two flavours: i686, the one we ship, and x86_64, the
# same sources for machines that cannot run 32-bit programs (and to catch
# pointer-width faults). Each has its own loader and kind of prefix; `wine`
# below always calls the flavour's own loader, never Debian's wrapper, which
# picks the 32-bit loader whenever it is installed.
use_wine_flavour() {
  case "$1" in
    i686)
      export WINEARCH=win32
      WINE=/usr/lib/wine/wine
      unset WINELOADER
      ;;
    x86_64)
      export WINEARCH=win64
      WINE=/usr/lib/wine/wine64
      export WINELOADER=$WINE
      ;;
    *)
      echo "unknown flavour: $1 (i686 or x86_64)" >&2
      return 1
      ;;
  esac
  WINE_FLAVOUR=$1
}
wine() { "$WINE" "$@"; }

# The flavour this machine runs for the program itself: the shipped one where
# 32-bit programs run, else x86_64.
native_wine_flavour() {
  if "$TOOLS_DIR/wine32-check.sh" >/dev/null; then
    echo i686
  else
    echo x86_64
  fi
}

# Sets Wine up for this machine's flavour and names its build: CMake PRESET, MinGW TRIPLET, BIN of its programs.
use_native_flavour() {
  use_wine_flavour "$(native_wine_flavour)"
  case "$WINE_FLAVOUR" in
    i686) PRESET=windows; TRIPLET=i686-w64-mingw32 ;;
    x86_64) PRESET=windows-x86_64; TRIPLET=x86_64-w64-mingw32 ;;
  esac
  BIN=build/$PRESET/bin
}

# Exits 77 (skipped) with the reason when the flavour cannot run on this machine.
skip_flavour_that_cannot_run() {
  local reason
  if [ "$1" = i686 ] && ! reason=$("$TOOLS_DIR/wine32-check.sh"); then
    echo "Skipped: $reason"
    # ctest names a file for the reason, to print it once the run is over.
    [ -z "${VEILKEEPER_SKIP_NOTE:-}" ] || echo "$reason" >"$VEILKEEPER_SKIP_NOTE"
    exit 77
  fi
}

# Boots the prefix PREFIX_DIR if needed, makes it WINEPREFIX and puts $BIN/Onecopy.dll in its system directory.
use_prefix_with_onecopy() {
  "$TOOLS_DIR/wine-prefix.sh" "$WINE_FLAVOUR" "$1" || return
  case "$1" in
    /*) export WINEPREFIX="$1" ;;
    *) export WINEPREFIX="$PWD/$1" ;;  # Wine wants an absolute path
  esac
  cp "$BIN/Onecopy.dll" "$WINEPREFIX/drive_c/windows/system32/Onecopy.dll"
}

# Works in a private copy of a booted prefix, in a temporary folder that goes,
# with everything Wine started there, when the script ends; sets WINEPREFIX.
use_private_prefix_copy() {
  PRIVATE_WORK=$(mktemp -d "${TMPDIR:-/tmp}/veilkeeper-wine.XXXXXX")
  export WINEPREFIX="$PRIVATE_WORK/prefix"
  trap 'end_wine_session; rm -rf "$PRIVATE_WORK"' EXIT
  cp -a "$1" "$WINEPREFIX"
}

# Starts a virtual display of our own; sets DISPLAY and XVFB_PID.
start_virtual_display() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  read -r -t 30 number <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# Ends what a script started under Wine: the prefix's programs, and the
# virtual display when it started one.
XVFB_PID=
end_wine_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
  fi
}

# Waits for a visible window whose name matches the pattern; prints its id.
# The deadline counts seconds, not tries: in an emulated guest each try alone
# takes about half a second.
wait_for_window() {
  local id= deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window named $1 appeared" >&2
  return 1
}

# Starts $BIN/Veilkeeper.exe in the background and waits until its main window is painted; sets MAIN_WINDOW.
start_veilkeeper() {
  wine "$BIN/Veilkeeper.exe" &
  MAIN_WINDOW=$(wait_for_window '^Veilkeeper$')
  wait_until_painted "$MAIN_WINDOW"
}

# Waits until a window's screen area (widened as for save_window_area) stays
# the same for a second and a half: a window shows before it has painted
# itself, and its controls paint one after another.
# Usage: wait_until_painted WINDOW [EXTRA_W EXTRA_H]
wait_until_painted() {
  local last= same=0 sum deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    sum=$(set -o pipefail; save_window_area "$1" rgb:- "${2:-0}" "${3:-0}" 2>/dev/null | md5sum) || sum=
    if [ -n "$sum" ] && [ "$sum" = "$last" ]; then
      same=$((same + 1))
      ((same < 6)) || return 0
    else
      same=0
      last=$sum
    fi
    sleep 0.25
  done
  echo "window $1 did not finish painting" >&2
  return 1
}

# Saves a window's screen area, widened by EXTRA_W x EXTRA_H, to FILE; further OPTIONS go to import.
# Usage: save_window_area WINDOW FILE [EXTRA_W EXTRA_H [OPTIONS...]]
save_window_area() {
  local window=$1 file=$2 extra_w=${3:-0} extra_h=${4:-0}
  local WIDTH HEIGHT X Y SCREEN WINDOW  # what the eval below sets
  shift $(($# < 4 ? $# : 4))
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "$((WIDTH + extra_w))x$((HEIGHT + extra_h))+${X}+${Y}" +repage "$@" "$file"
}
