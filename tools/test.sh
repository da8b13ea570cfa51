#!/usr/bin/env bash
# Builds Veilkeeper and runs every test tier: the rules natively under the
# sanitizers, and the Windows tiers under Wine, for each flavour this machine
# runs (tools/wine32-check.sh). Exits non-zero on any failure, and then its
# last lines name the failed tests and their failure lines.
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
# A failed run ends with what failed and where to look: a CI log is read from
# its tail.
report=$PWD/build/linux/Testing/report.xml
rm -f "$report"
if ! ctest --preset linux --output-junit "$report"; then
  python3 tools/failed-tests.py "$report" || true
  exit 1
fi
