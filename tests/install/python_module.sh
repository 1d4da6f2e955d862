#!/bin/sh
# The Python module as installed: loaded from a temporary prefix with Debian's python3, its
# tests run with unittest on a data folder the installed tool builds.
#   python_module.sh BUILD_DIR SOURCE_DIR PYTHON
set -eu
build=$1
source=$2
python=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/torvane" db build-default "$work/data" >/dev/null

export TORVANE_TEST_PREFIX="$prefix"
export TORVANE_TEST_DATA="$work/data"
export PYTHONPATH="$prefix/lib/python3/dist-packages"
unset TORVANE_LIBRARY
# Nothing is written into the source tree.
export PYTHONDONTWRITEBYTECODE=1
cd "$work"
"$python" -m unittest discover -s "$source/tests/python" -p 'test_*.py' -v
