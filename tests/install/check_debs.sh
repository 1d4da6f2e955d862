#!/bin/sh
# Builds the Debian packages and checks what they hold and what they ask for: the files of
# each package, no test data, no path of the build machine, and a Depends entry for every
# library the binaries load.
#   check_debs.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
set -- "$work"/out/*.deb
[ "$#" -eq 4 ] || fail "expected 4 packages, got $#: $*"

for deb in "$@"; do
  package=$(dpkg-deb -f "$deb" Package)
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/$package.files"
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | grep . >"$work/$package.depends"
  dpkg-deb -x "$deb" "$work/root"
  echo "$package: $(grep -cv '/$' "$work/$package.files") files; depends $(tr '\n' ' ' <"$work/$package.depends")"
done

expect_file() {  # PACKAGE PATH
  grep -qx "$2" "$work/$1.files" || fail "$1 lacks $2"
}
expect_file libtorvane4 /usr/lib/libtorvane.so.4
expect_file libtorvane4 /usr/lib/libtorvane.so.4.10.0
expect_file libtorvane-dev /usr/lib/libtorvane.so
expect_file libtorvane-dev /usr/include/torvane/torvane.h
expect_file libtorvane-dev /usr/include/torvane/torvane_control.h
expect_file libtorvane-dev /usr/lib/pkgconfig/torvane.pc
expect_file libtorvane-dev /usr/lib/cmake/Torvane/TorvaneConfig.cmake
expect_file libtorvane-dev /usr/lib/cmake/Torvane/TorvaneConfigVersion.cmake
expect_file libtorvane-dev /usr/lib/cmake/Torvane/TorvaneTargets.cmake
expect_file torvane /usr/bin/torvane
expect_file torvane /usr/share/man/man1/torvane.1
expect_file python3-torvane /usr/lib/python3/dist-packages/torvane/__init__.py
expect_file python3-torvane /usr/lib/python3/dist-packages/torvane/_library.py
grep -qx /usr/lib/libtorvane.so "$work/libtorvane4.files" && fail "the runtime package holds the link"

# No tests, test data, schemas or databases: only what the lists above name, and folders.
if cat "$work"/*.files | grep -v '/$' | grep -Ei 'test|gtest|bench|\.(db|sql|csv|xml)$'; then
  fail "test or data files in the packages"
fi
# No path of this machine's build or source tree in any installed file.
for path in "$build" "$source"; do
  if grep -rlF "$path" "$work/root"; then fail "files name $path"; fi
done

# Every library a binary loads belongs to a package its Depends names.
owner_of() {  # PATH: the package that installed it (dpkg may know it with or without /usr)
  real=$(readlink -f "$1")
  for candidate in "$1" "$real" "${1#/usr}" "${real#/usr}"; do
    owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1)
    [ -n "$owner" ] && { echo "$owner"; return; }
  done
}
check_needed() {  # PACKAGE FILE
  for soname in $(objdump -p "$2" | awk '/NEEDED/ {print $2}'); do
    if [ "$soname" = libtorvane.so.4 ]; then
      owner=libtorvane4
    else
      location=$(ldconfig -p | awk -v name="$soname" '$1 == name {print $NF; exit}')
      [ -n "$location" ] || { fail "$soname of $2 not found"; continue; }
      owner=$(owner_of "$location")
    fi
    grep -qx "$owner" "$work/$1.depends" || fail "$1 loads $soname from '$owner', not in Depends"
  done
}
check_needed libtorvane4 "$work/root/usr/lib/libtorvane.so.4.10.0"
# The libraries opened at the first HTTP request are in no needed list, only in Depends.
for name in libcurl4 libssl3; do
  grep -qx "$name" "$work/libtorvane4.depends" || fail "libtorvane4 does not depend on $name"
done
check_needed torvane "$work/root/usr/bin/torvane"
# libzip is opened at the first FCC archive the tool imports.
grep -qx libzip4 "$work/torvane.depends" || fail "torvane does not depend on libzip4"
# The named packages exist in Debian 12 (this machine installed them to build and test).
for name in $(cat "$work"/*.depends | sort -u); do
  case "$name" in libtorvane4) continue ;; esac
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $name is not a package here"
done
# Stripped: no debug information that would carry source paths.
objdump -h "$work/root/usr/lib/libtorvane.so.4.10.0" | grep -q debug_info &&
  fail "the library is not stripped"

[ "$failures" -eq 0 ] || exit 1
echo "packages: all checks passed"
