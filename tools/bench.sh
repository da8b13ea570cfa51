#!/usr/bin/env bash
# Runs Veilkeeper's benchmarks under Wine in a virtual display, each side by
# side with a bare baseline, and prints a Markdown report (also saved to
# build/bench-results.md). Not part of the tests' pass/fail.
# Usage: tools/bench.sh [LEAK_CYCLES]   (default 10000)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
# Veilkeeper and its baselines run in the same flavour in one run, so the
# flavour does not change a ratio; the report names it.
. tools/wine-env.sh
use_native_flavour
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET"
prefix=build/wine-bench-prefix-$WINE_FLAVOUR
tools/wine-prefix.sh "$WINE_FLAVOUR" "$prefix"

report=build/bench-results.md
{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(wine --version) in Xvfb, the $WINE_FLAVOUR flavour; command: tools/bench.sh ${1:-10000}"
  echo
  tools/wine-run.sh "$WINE_FLAVOUR" "$prefix" "$BIN/bench_driver.exe" | tr -d '\r'
  echo
  tools/wine-run.sh "$WINE_FLAVOUR" "$prefix" "$BIN/bench_cycles.exe" "${1:-10000}" | tr -d '\r'
  echo
  echo "Where a hide's time goes (bench_trace: each step stamped, in-process):"
  tools/wine-run.sh "$WINE_FLAVOUR" "$prefix" "$BIN/bench_trace.exe" latency 30 | tr -d '\r'
  echo
  tools/wine-run.sh "$WINE_FLAVOUR" "$prefix" "$BIN/bench_trace.exe" check 1000 | tr -d '\r'
  echo
  echo "Veilkeeper.exe ($WINE_FLAVOUR): $(stat -c %s "$BIN/Veilkeeper.exe") bytes; imports:" \
       "$("$TRIPLET-objdump" -p "$BIN/Veilkeeper.exe" | awk '/DLL Name/ {print $3}' | sort | paste -sd ' ')"
} | tee "$report"
