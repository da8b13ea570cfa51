#!/usr/bin/env bash
# The one check of whether this machine runs 32-bit Windows programs under Wine:
# does Wine's 32-bit loader start? Some kernels have no 32-bit support at all,
# and Debian's `wine` wrapper picks that loader whenever it is installed.
# Exit 0 when it runs; otherwise prints why not on one line and exits 1.
# VEILKEEPER_WINE32=yes or =no forces the answer (to try the other path).
set -uo pipefail

case "${VEILKEEPER_WINE32:-}" in
  yes) exit 0 ;;
  no) echo "32-bit Windows programs are turned off here (VEILKEEPER_WINE32=no)"; exit 1 ;;
esac

loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  echo "Wine's 32-bit loader is not installed ($loader)"
  exit 1
fi
# A shell of its own, so that its complaint is in English whatever our locale.
if ! error=$(LC_ALL=C LANG=C bash -c '"$0" --version' "$loader" 2>&1 >/dev/null); then
  echo "this machine cannot run 32-bit programs: Wine's 32-bit loader fails (${error##*: })"
  exit 1
fi
exit 0
