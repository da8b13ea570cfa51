#!/usr/bin/env bash
# Runs one Windows program under Wine in a private copy of the booted prefix
# and a virtual display of its own. Everything it started is ended when it
# returns; its exit code is the program's, or 77 (skipped, with the reason)
# when the flavour cannot run on this machine.
# Usage: tools/wine-run.sh i686|x86_64 TEMPLATE_PREFIX PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

use_wine_flavour "$1" || exit 2
skip_flavour_that_cannot_run "$1"
template=$(realpath "$2")
program=$3
shift 3

use_private_prefix_copy "$template"
# Tests never draw on the developer's screen: always a display of their own.
start_virtual_display || exit 1

wine "$program" "$@"
status=$?
exit $status
