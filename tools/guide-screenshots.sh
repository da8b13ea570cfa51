#!/usr/bin/env bash
# Makes the user guide's screenshots under Wine in a virtual display:
# docs/guide/images/main.png, menu.png and hotkey.png (tools/guide-pictures.sh
# draws them; the test guide.pictures checks them against the build).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
# The flavour this machine runs: the windows look the same in both.
. tools/wine-env.sh
use_native_flavour
echo "Screenshots of the $WINE_FLAVOUR flavour"
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" --target Veilkeeper onecopy

prefix=build/wine-guide-prefix-$WINE_FLAVOUR
tools/wine-prefix.sh "$WINE_FLAVOUR" "$prefix"
tools/guide-pictures.sh "$WINE_FLAVOUR" "$BIN" "$prefix" docs/guide/images
echo "Screenshots in docs/guide/images"
