#!/bin/sh
# Fails when a binary needs libcurl or OpenSSL to start: the library opens them at the first
# HTTP request instead.
#   needed_libraries.sh FILE...
set -eu
failures=0
for file in "$@"; do
  needed=$(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  # An empty list would pass anything: every binary here needs the C library.
  if ! echo "$needed" | grep -q '^libc\.so'; then
    echo "FAILED: no needed libraries read from $file"
    failures=$((failures + 1))
  fi
  for soname in $(echo "$needed" | grep -E '^lib(curl|ssl|crypto)\.' || true); do
    echo "FAILED: $file needs $soname"
    failures=$((failures + 1))
  done
done
[ "$failures" -eq 0 ]
