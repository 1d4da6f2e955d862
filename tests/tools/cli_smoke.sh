#!/bin/sh
# The real binary: make a data folder and ask the shell for the version.
set -eu
torvane="$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$torvane" db init "$folder" >/dev/null
answer=$(echo '{"call": "GetVersion"}' | "$torvane" shell --json --data-folder "$folder")
expected='{"result":"4.10.0","type":"string","args":[]}'
[ "$answer" = "$expected" ] || { echo "got: $answer"; exit 1; }
