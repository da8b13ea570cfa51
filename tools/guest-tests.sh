#!/usr/bin/env bash
# The i686 Windows tiers on a machine that cannot run 32-bit programs, in
# three steps that ctest runs as tests (tests/WineTests.cmake):
#   image IMAGE_DIR                      makes the guest's image, or says why it cannot be had
#   run IMAGE_DIR RESULTS NAME=PROGRAM.exe...
#                                        boots the guest once and runs every program in it
#   result RESULTS NAME                  reports one program's run: its output and exit code
# Where the guest cannot be had, each step exits 77 (skipped) with the reason,
# never 0. They run with VEILKEEPER_GUEST=yes: until every i686 test passes
# there, a machine's test command would fail on tests that assume a fast
# machine, so the guest is off unless asked for.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# Exits 77 with the reason, which ctest prints once the run is over.
skip() {
  echo "Skipped: $1"
  [ -z "${VEILKEEPER_SKIP_NOTE:-}" ] || echo "$1" >"$VEILKEEPER_SKIP_NOTE"
  exit 77
}

turned_off="the guest runs only when asked for (VEILKEEPER_GUEST=yes)"

make_image() {
  local image=$1 as_root=() reason log
  mkdir -p "$image"
  rm -f "$image/unavailable"
  [ "$(id -u)" -eq 0 ] || ! sudo -n true 2>/dev/null || as_root=(sudo -n)
  if [ "${VEILKEEPER_GUEST:-}" != yes ]; then
    reason=$turned_off
  elif ! command -v qemu-system-x86_64 >/dev/null; then
    reason="QEMU is not installed (qemu-system-x86, which tools/install-deps.sh installs)"
  else
    log=$(mktemp)
    if "${as_root[@]}" "$here/guest-image.sh" "$image" 2>"$log"; then
      rm -f "$log"
      exit 0
    fi
    cat "$log" >&2
    reason="the guest image could not be made: $(tail -n 1 "$log")"
    rm -f "$log"
    mkdir -p "$image"
  fi
  echo "$reason" >"$image/unavailable"
  skip "no guest for the i686 tiers: $reason"
}

run_guest() {
  local image=$1 results=$2
  shift 2
  rm -rf "$results"
  mkdir -p "$results"
  if [ "${VEILKEEPER_GUEST:-}" != yes ] || [ ! -f "$image/inputs" ]; then
    local reason="no guest image"
    [ ! -f "$image/unavailable" ] || reason=$(cat "$image/unavailable")
    [ "${VEILKEEPER_GUEST:-}" = yes ] || reason=$turned_off
    echo "$reason" >"$results/unavailable"
    skip "no guest for the i686 tiers: $reason"
  fi
  # Booting takes about 20 s, the prefix 2 to 3 minutes, the tiers together
  # about 10; a loaded machine may double each.
  "$here/guest-run.sh" "$image" "$results" 2700 "$here/guest-tiers.sh" "$results" "$@"
  local status=$?
  echo "the guest's console ($results/console), its last lines:"
  tail -n 15 "$results/console" 2>/dev/null | tr -d '\r'
  if [ "$status" -eq 0 ] && [ ! -f "$results/finished" ]; then
    echo "the guest powered off before its run was over"
    status=1
  fi
  return $status
}

report_result() {
  local results=$1 name=$2
  if [ -f "$results/unavailable" ]; then
    skip "no guest for the i686 tiers: $(cat "$results/unavailable")"
  fi
  if [ ! -f "$results/$name.status" ]; then
    echo "the guest left no result for $name (see the guest's run, its console: $results/console)"
    exit 1
  fi
  echo "$name ran in the guest in $(cat "$results/$name.seconds") s; its output:"
  cat "$results/$name.log"
  exit "$(cat "$results/$name.status")"
}

case "${1:-}" in
  image) make_image "$2" ;;
  run) shift; run_guest "$@" ;;
  result) report_result "$2" "$3" ;;
  *) echo "usage: $0 image|run|result ..." >&2; exit 2 ;;
esac
