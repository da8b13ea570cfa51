#!/usr/bin/env bash
# Builds Veilkeeper and runs every test tier: the rules natively under the
# sanitizers, and the Windows tiers under Wine in both flavours. Where this
# machine cannot run 32-bit programs (tools/wine32-check.sh), the i686 tiers
# run in an emulated guest when asked for (VEILKEEPER_GUEST=yes,
# tools/guest-tests.sh), else they say skipped. Exits non-zero on any
# failure, and then its last lines name the failed tests and their failure
# lines.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
in_guest=
if reason=$(tools/wine32-check.sh); then
  echo "Windows tests: i686 (the program we ship) and x86_64"
elif [ "${VEILKEEPER_GUEST:-}" = yes ]; then
  echo "Windows tests: x86_64 here, i686 (the program we ship) in an emulated guest; $reason"
  in_guest=1
else
  echo "Windows tests: x86_64 only (VEILKEEPER_GUEST=yes adds i686 in an emulated guest); $reason"
fi
# Making the guest's image is mostly waiting for the mirror and the disk: it
# goes on beside the build, and ctest's guest.image waits for it.
if [ -n "$in_guest" ]; then
  mkdir -p build
  tools/guest-tests.sh image build/guest >build/guest-image.log 2>&1 &
  image_maker=$!
  trap 'wait "$image_maker" || true' EXIT
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
