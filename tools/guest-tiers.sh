#!/usr/bin/env bash
# Inside the guest (tools/guest-tests.sh starts it): boots one 32-bit Wine
# prefix, then runs each Windows test program from a private copy of it, as
# tools/wine-run.sh does on a machine that runs 32-bit programs itself. Each
# leaves NAME.log (its output), NAME.status (its exit code) and NAME.seconds
# in RESULTS, for the host's tests to report, and RESULTS/finished at the end.
# Usage: tools/guest-tiers.sh RESULTS NAME=PROGRAM.exe...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
results=$1
shift
# A test program that hangs ends here, well inside the host's own deadline.
tier_deadline=1200

# The programs run from the guest's own disk, each folder beside the others
# as in the build (the setup's test finds the setup in ../release): Wine maps
# a program's file into memory, which the shared folder does not do reliably.
programs=/tmp/programs
declare -A copied
for tier in "$@"; do
  bin=$(dirname "${tier#*=}")
  for folder in "$bin" "$(dirname "$bin")/release"; do
    if [ -d "$folder" ] && [ -z "${copied[$folder]:-}" ]; then
      mkdir -p "$programs$(dirname "$folder")"
      cp -r "$folder" "$programs$folder"
      copied[$folder]=1
    fi
  done
done

template=/tmp/wine-template-i686
start=$SECONDS
if ! "$here/wine-prefix.sh" i686 "$template" >"$results/wine.prefix.log" 2>&1; then
  echo "the guest's 32-bit Wine prefix could not be made:" >"$results/prefix-failed"
  tail -n 20 "$results/wine.prefix.log" >>"$results/prefix-failed"
fi
echo $((SECONDS - start)) >"$results/wine.prefix.seconds"
echo "veilkeeper-guest: prefix made in $((SECONDS - start)) s"

for tier in "$@"; do
  name=${tier%%=*}
  program=$programs${tier#*=}
  start=$SECONDS
  if [ -f "$results/prefix-failed" ]; then
    cp "$results/prefix-failed" "$results/$name.log"
    status=1
  else
    timeout --kill-after=30 "$tier_deadline" "$here/wine-run.sh" i686 "$template" "$program" \
      --gtest_color=no >"$results/$name.log" 2>&1
    status=$?
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
      echo "timed out after $tier_deadline s in the guest" >>"$results/$name.log"
    fi
  fi
  echo $((SECONDS - start)) >"$results/$name.seconds"
  echo "$status" >"$results/$name.status"
  echo "veilkeeper-guest: $name ended ($status) in $((SECONDS - start)) s"
done
touch "$results/finished"
