#!/bin/sh
# Installs the build into a temporary prefix and builds and runs, against that prefix only, a
# C++ consumer found with find_package(Torvane) and a C consumer built with pkg-config, on a
# data folder the installed tool builds from Debian's data.
#   consumers.sh BUILD_DIR SOURCE_DIR cxx|c [COMPILER_FLAGS]
# COMPILER_FLAGS are the sanitizer flags when the library under test carries them.
set -eu
build=$1
source=$2
which=$3
flags=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/torvane" db build-default "$work/data" >/dev/null

case "$which" in
  cxx)
    cmake -S "$source/tests/install/cxx_consumer" -B "$work/cxx" -G Ninja \
      -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
    cmake --build "$work/cxx" >/dev/null
    "$work/cxx/consumer" "$work/data"
    ;;
  c)
    libdir=$(dirname "$(find "$prefix" -name torvane.pc)")
    export PKG_CONFIG_PATH="$libdir"
    # shellcheck disable=SC2046,SC2086 # pkg-config's words are separate arguments
    cc -std=c11 -Wall -Wextra -Wpedantic -Werror $flags "$source/tests/install/consumer.c" \
      $(pkg-config --cflags --libs torvane) -o "$work/consumer"
    LD_LIBRARY_PATH=$(pkg-config --variable=libdir torvane) "$work/consumer" "$work/data"
    ;;
  *)
    echo "usage: $0 BUILD_DIR SOURCE_DIR cxx|c [FLAGS]" >&2
    exit 2
    ;;
esac
