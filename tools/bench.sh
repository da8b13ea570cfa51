#!/usr/bin/env bash
# Runs Veilkeeper's benchmarks under Wine in a virtual display, each side by
# side with a bare baseline, and prints a Markdown report (also saved to
# build/bench-results.md). Not part of the tests' pass/fail.
# Usage: tools/bench.sh [LEAK_CYCLES]   (default 10000)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
tools/wine-prefix.sh build/wine-bench-prefix

bin=build/windows/bin
report=build/bench-results.md
{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(wine --version) in Xvfb; command: tools/bench.sh ${1:-10000}"
  echo
  tools/wine-run.sh build/wine-bench-prefix "$bin/bench_driver.exe" | tr -d '\r'
  echo
  tools/wine-run.sh build/wine-bench-prefix "$bin/bench_cycles.exe" "${1:-10000}" | tr -d '\r'
  echo
  echo "Veilkeeper.exe: $(stat -c %s "$bin/Veilkeeper.exe") bytes; imports:" \
       "$(i686-w64-mingw32-objdump -p "$bin/Veilkeeper.exe" | awk '/DLL Name/ {print $3}' | sort | paste -sd ' ')"
} | tee "$report"
