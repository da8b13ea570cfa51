#!/usr/bin/env bash
# Inside the guest (tools/run.sh --guest starts it): runs the i686 build under
# a 32-bit Wine, with Onecopy.dll in the prefix's system directory, and saves a
# screenshot of its main window.
# Usage: tools/guest-show.sh BIN_DIR SCREENSHOT.png
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
use_wine_flavour i686
# From the guest's own disk: Wine maps the program's file into memory, which
# the shared folder does not do reliably.
cp -r "$1" /tmp/bin
BIN=/tmp/bin
trap end_wine_session EXIT
use_prefix_with_onecopy /tmp/wine-run-prefix-i686
start_virtual_display
start_veilkeeper
save_window_area "$MAIN_WINDOW" "$2"
