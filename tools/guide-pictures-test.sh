#!/usr/bin/env bash
# Whether the user guide's committed pictures are still what the build draws:
# draws them as tools/guide-screenshots.sh does (tools/guide-pictures.sh) and
# compares each with the committed one. Exits 77 (skipped) with the reason when
# the flavour cannot run here.
# Usage: tools/guide-pictures-test.sh i686|x86_64 BIN_DIR TEMPLATE_PREFIX COMMITTED_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

use_wine_flavour "$1" || exit 2
skip_flavour_that_cannot_run "$1"
committed=$4

# Run to run, the same build draws the same pixels. The tolerance is for a
# machine whose fonts smooth a little otherwise: a pixel counts as changed
# only past 10% of the colour range, and up to 8 changed pixels pass. A
# list-header divider that comes or goes changes 17; a caret shown or not, 13.
fuzz=10%
most_changed=8

made=$(mktemp -d "${TMPDIR:-/tmp}/veilkeeper-guide-made.XXXXXX")
if ! "$here/guide-pictures.sh" "$1" "$2" "$3" "$made"; then
  echo "FAIL  the pictures could not be drawn"
  rm -rf "$made"
  exit 1
fi

status=0
for picture in main.png menu.png hotkey.png; do
  old=$committed/$picture new=$made/$picture
  old_size=$(identify -format '%wx%h' "$old") || { status=1; continue; }
  new_size=$(identify -format '%wx%h' "$new") || { status=1; continue; }
  if [ "$old_size" != "$new_size" ]; then
    echo "FAIL  $picture: committed $old_size, the build draws $new_size"
    status=1
    continue
  fi
  changed=$(compare -metric AE -fuzz "$fuzz" "$old" "$new" null: 2>&1)
  if [[ ! $changed =~ ^[0-9]+$ ]]; then
    echo "FAIL  $picture: compare says: $changed"
    status=1
  elif ((changed > most_changed)); then
    compare -fuzz "$fuzz" "$old" "$new" "$made/diff-$picture" 2>/dev/null
    echo "FAIL  $picture: $changed pixels differ from what the build draws (at most $most_changed may)"
    status=1
  else
    echo "ok    $picture: $changed pixels differ"
  fi
done
if ((status)); then
  echo "What the build draws, and where it differs (diff-*.png): $made"
  echo "Remake the pictures with tools/guide-screenshots.sh"
else
  rm -rf "$made"
fi
exit $status
