# `cpack -G DEB` in the build folder: one Debian package per install component. Dependencies
# are written out rather than found by dpkg-shlibdeps, which needs dpkg-dev on the builder;
# they are the Debian 12 packages of the libraries linked (see tests/install/check_debs.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvane)
set(CPACK_PACKAGE_VENDOR "Torvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Station data for amateur-radio logging programs")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime dev tool python)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Torvane developers <torvane@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)

set(torvane_runtime_package libtorvane${PROJECT_VERSION_MAJOR})
set(torvane_exact_runtime "${torvane_runtime_package} (= ${PROJECT_VERSION})")
set(torvane_cxx_runtime "libc6, libstdc++6 (>= 12), libgcc-s1")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${torvane_runtime_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# libcurl4 and libssl3 are opened with dlopen at the first HTTP request, so the library's
# needed list does not name them; they stay dependencies all the same.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
  "${torvane_cxx_runtime}, libsqlite3-0, libcurl4, libssl3, libfmt9")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "Torvane shared library\nThe station-data service for logging programs: callbook, prefix,\ndistance, weather, beacon and logbook-service look-ups, with a C++ and a C interface.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtorvane-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${torvane_exact_runtime}")
set(CPACK_DEBIAN_DEV_DESCRIPTION
  "Torvane development files\nHeaders of the C++ and C interfaces, torvane.pc for pkg-config and the CMake\npackage Torvane (target Torvane::torvane).")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME torvane)
# libzip4 is opened with dlopen at the first FCC archive, so the tool's needed list does not
# name it. build-default reads cty.csv and Locations.xml from the last two.
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS
  "${torvane_exact_runtime}, ${torvane_cxx_runtime}, libsqlite3-0, libfmt9, libpugixml1v5, libzip4, hamradio-files, libgweather-4-common")
set(CPACK_DEBIAN_TOOL_DESCRIPTION
  "Torvane command-line tool\nBuilds data folders from Debian's cty.csv and Locations.xml, imports the FCC\nlicence file, looks calls up and drives the service from scripts (torvane shell).")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-torvane)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3, ${torvane_exact_runtime}")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
  "Torvane for Python\nThe torvane module: the service's methods as attributes of torvane.Control,\nits events as callbacks, over the shared library with ctypes.")

include(CPack)
