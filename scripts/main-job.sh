#!/bin/sh
# The main job on the shipped default data: make a data folder and ask the service for its
# version through the host simulator.
set -eu
torvane="$1"
data=build/main-data
"$torvane" db init "$data"
echo '{"call": "GetVersion"}' | "$torvane" shell --json --data-folder "$data"
