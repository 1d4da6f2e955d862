#!/bin/sh
# The real binary: a live watch ends on Ctrl-C with status 0, after the service's shut-down.
set -eu
torvane="$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$torvane" db init "$folder" >/dev/null
"$torvane" beacons --watch --home 40,-75 --data-folder "$folder" >"$folder/out.txt" 2>&1 &
pid=$!
tries=0
until grep -q '28.200' "$folder/out.txt"; do
  tries=$((tries + 1))
  if [ "$tries" -gt 300 ]; then
    kill "$pid"
    echo "no beacon lines"
    exit 1
  fi
  sleep 0.1
done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$folder/out.txt"; exit 1; }
grep -q 'Torvane stopped' "$folder/Logs/tvlog.txt" || { echo "no stop line"; exit 1; }
