#!/bin/sh
# The real binary: an FCC import that runs out of room fails, says so, and leaves the previous
# licence database byte for byte, with nothing beside it.
set -eu
torvane="$1"
generator="$2"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$torvane" db init "$folder/data" >/dev/null
python3 "$generator" "$folder/uls" --licences 20000 >/dev/null
"$torvane" import fcc "$folder/uls" --data-folder "$folder/data" >/dev/null
cp "$folder/data/FCC Data/FCCData.db" "$folder/before.db"

# Files may grow to 1 MB only (512-byte blocks), as on a full disk. The signal that would end
# the process is ignored, so the write fails as it does when the disk is full.
status=0
(trap '' XFSZ; ulimit -f 2048; exec "$torvane" import fcc "$folder/uls" --data-folder "$folder/data") \
  >/dev/null 2>"$folder/err" || status=$?
[ "$status" -ne 0 ] || { echo "the import did not fail"; exit 1; }
grep -q "the licence database was not changed" "$folder/err" || { cat "$folder/err"; exit 1; }
cmp "$folder/before.db" "$folder/data/FCC Data/FCCData.db"
left=$(ls -A "$folder/data/FCC Data")
[ "$left" = "FCCData.db" ] || { echo "left beside the database: $left"; exit 1; }
