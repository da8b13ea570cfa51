#!/usr/bin/env bash
# Runs the record fuzzer for a while from the seed corpus (tests/fuzz/corpus)
# and what earlier runs found. The test command runs it for a minute; to run
# it longer, build it (cmake --build build/linux --target record_fuzzer) and
#   tools/fuzz.sh 3600
# An input that breaks a rule is left in build/linux/fuzz/artifacts; run the
# fuzzer on that file alone to see it again.
#   tools/fuzz.sh [seconds] [fuzzer]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
fuzzer=$(realpath -m "${2:-build/linux/fuzz/record_fuzzer}")
dir=$(dirname "$fuzzer")
if [ ! -x "$fuzzer" ]; then
  echo "no fuzzer at $fuzzer: build the record_fuzzer target first" >&2
  exit 1
fi
mkdir -p "$dir/corpus" "$dir/artifacts"
# New inputs go to the first directory; the seeds stay as they are.
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$dir/artifacts/" "$dir/corpus" tests/fuzz/corpus
