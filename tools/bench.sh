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
flavour=$(native_wine_flavour)
use_wine_flavour "$flavour"
if [ "$flavour" = i686 ]; then preset=windows; triplet=i686-w64-mingw32; else preset=windows-x86_64; triplet=x86_64-w64-mingw32; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
prefix=build/wine-bench-prefix-$flavour
tools/wine-prefix.sh "$flavour" "$prefix"

bin=build/$preset/bin
report=build/bench-results.md
{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(wine --version) in Xvfb, the $flavour flavour; command: tools/bench.sh ${1:-10000}"
  echo
  tools/wine-run.sh "$flavour" "$prefix" "$bin/bench_driver.exe" | tr -d '\r'
  echo
  tools/wine-run.sh "$flavour" "$prefix" "$bin/bench_cycles.exe" "${1:-10000}" | tr -d '\r'
  echo
  echo "Where a hide's time goes (bench_trace: each step stamped, in-process):"
  tools/wine-run.sh "$flavour" "$prefix" "$bin/bench_trace.exe" latency 30 | tr -d '\r'
  echo
  tools/wine-run.sh "$flavour" "$prefix" "$bin/bench_trace.exe" check 1000 | tr -d '\r'
  echo
  echo "Veilkeeper.exe ($flavour): $(stat -c %s "$bin/Veilkeeper.exe") bytes; imports:" \
       "$($triplet-objdump -p "$bin/Veilkeeper.exe" | awk '/DLL Name/ {print $3}' | sort | paste -sd ' ')"
} | tee "$report"
