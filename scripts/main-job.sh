#!/bin/sh
# The main job on the shipped default data: build the data folder where a service object
# looks for it (the documents folder's ZENTROVA/Quorlin) from Debian's cty.csv and
# Locations.xml, then look up real calls from the home of W1AW (Newington, Connecticut).
set -eu
torvane="$1"
"$torvane" db build-default --force
"$torvane" lookup KH6/W1AW --home 41.71,-72.73
"$torvane" lookup DL1ABC --home 41.71,-72.73
