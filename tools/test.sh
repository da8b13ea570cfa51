#!/usr/bin/env bash
# Builds Veilkeeper and runs every test tier: the rules natively under the
# sanitizers, and the Windows tiers under Wine, for each flavour this machine
# runs (tools/wine32-check.sh). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
if reason=$(tools/wine32-check.sh); then
  echo "Windows tests: i686 (the program we ship) and x86_64"
else
  echo "Windows tests: x86_64 only; $reason"
fi
cmake --preset linux
cmake --build --preset linux
ctest --preset linux
