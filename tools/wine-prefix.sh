#!/usr/bin/env bash
# Boots the Wine prefix that every Windows test of one flavour starts from a
# copy of. Exits 77 (skipped) with the reason when the flavour cannot run here.
# Usage: tools/wine-prefix.sh i686|x86_64 PREFIX_DIR   (does nothing when it is up to date)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

use_wine_flavour "$1"
skip_flavour_that_cannot_run "$1"
prefix=$(realpath -m "$2")  # Wine wants an absolute path
stamp="$prefix/.veilkeeper-prefix"
version="5 $WINEARCH $(wine --version)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
  exit 0
fi

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$prefix"
trap end_wine_session EXIT

# A win64 prefix complains once about syswow64\rundll32.exe: harmless.
wine wineboot -i >/dev/null 2>&1
# Xvfb has no window manager: without this, each hidden window's thread
# waits for one and messages to it time out.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# The dialogs ask for the SimSun face; map it onto the Song-style font we
# install, whose hand-tuned small sizes stay legible.
for face in '宋体' 'SimSun' 'NSimSun'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
       /v "$face" /t REG_SZ /d 'AR PL UMing CN' /f >/dev/null 2>&1
done
# Smooth text, as on a Windows desktop: without it thin CJK strokes drop out.
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2 /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 1 /f >/dev/null 2>&1
wineserver -w
echo "$version" >"$stamp"
echo "Wine prefix ready: $prefix"
