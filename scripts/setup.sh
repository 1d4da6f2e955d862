#!/bin/sh
# Set-up on a fresh Debian 12 machine (as root): installs the Debian packages that are
# missing, builds, then runs either the main job (`main`) or the whole test suite (`test`),
# the latter also under address and undefined-behaviour sanitizers, then each fuzz target for
# a short, fixed number of executions.
set -eu

mode=${1:-main}
case "$mode" in
  main | test) ;;
  *) echo "usage: $0 [main|test]" >&2; exit 2 ;;
esac

packages="g++ cmake ninja-build pkg-config ca-certificates openssl sqlite3
  libsqlite3-dev libcurl4-openssl-dev libssl-dev libfmt-dev nlohmann-json3-dev libcli11-dev
  libcpp-httplib-dev libpugixml-dev libzip-dev libgtest-dev libgmock-dev libbenchmark-dev
  hamradio-files libgweather-4-common python3 clang-14 libfuzzer-14-dev"
missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

cd "$(dirname "$0")/.."
cmake --preset release
cmake --build --preset release

if [ "$mode" = main ]; then
  exec sh scripts/main-job.sh build/release/tools/torvane/torvane
fi

ctest --preset release
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
sh scripts/fuzz.sh --runs 100000
