#!/usr/bin/env bash
# Builds Veilkeeper and runs every test tier: the rules natively under the
# sanitizers, and the Windows tiers under Wine. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux
