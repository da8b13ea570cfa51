#!/usr/bin/env bash
# Runs one Windows program under Wine in a private copy of the booted prefix
# and a virtual display of its own. Everything it started
# is ended when it returns; its exit code is the program's.
# Usage: tools/wine-run.sh TEMPLATE_PREFIX PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

template=$(realpath "$1")
program=$2
shift 2

work=$(mktemp -d "${TMPDIR:-/tmp}/veilkeeper-wine.XXXXXX")
export WINEPREFIX="$work/prefix"
cleanup() {
  end_wine_session
  rm -rf "$work"
}
trap cleanup EXIT

cp -a "$template" "$WINEPREFIX"
# Tests never draw on the developer's screen: always a display of their own.
start_virtual_display || exit 1

wine "$program" "$@"
status=$?
exit $status
