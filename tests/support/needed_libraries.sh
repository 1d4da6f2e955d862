#!/bin/sh
# Fails when a binary needs, to start, a library that the code opens only when it is used.
#   needed_libraries.sh NAMES FILE...
# NAMES is an extended regular expression of library names without "lib" and the version:
# 'curl|ssl|crypto' forbids libcurl.so.4, libssl.so.3 and libcrypto.so.3.
set -eu
names="$1"
shift
failures=0
for file in "$@"; do
  needed=$(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  # An empty list would pass anything: every binary here needs the C library.
  if ! echo "$needed" | grep -q '^libc\.so'; then
    echo "FAILED: no needed libraries read from $file"
    failures=$((failures + 1))
  fi
  for soname in $(echo "$needed" | grep -E "^lib($names)\\." || true); do
    echo "FAILED: $file needs $soname"
    failures=$((failures + 1))
  done
done
[ "$failures" -eq 0 ]
