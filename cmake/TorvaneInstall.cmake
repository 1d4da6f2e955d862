# What `cmake --install` puts under the prefix, in four components that become the Debian
# packages: runtime (the shared library), dev (headers, pkg-config and CMake files), tool (the
# command and its man page) and python (the ctypes module). Every path written into an
# installed file is relative to that file, so an installed tree can be moved or packaged.
include(CMakePackageConfigHelpers)

set(TORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Torvane)
set(TORVANE_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
set(TORVANE_PYTHON_DIR lib/python3/dist-packages)

install(TARGETS torvane EXPORT TorvaneTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/torvane
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev FILES_MATCHING PATTERN "*.h")

install(EXPORT TorvaneTargets NAMESPACE Torvane:: FILE TorvaneTargets.cmake
  DESTINATION ${TORVANE_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TorvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TorvaneConfig.cmake INSTALL_DESTINATION ${TORVANE_CMAKE_DIR})
# Within a major version the library keeps its interface (the soname carries the major).
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TorvaneConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TorvaneConfig.cmake
              ${PROJECT_BINARY_DIR}/TorvaneConfigVersion.cmake
  DESTINATION ${TORVANE_CMAKE_DIR} COMPONENT dev)

# pkg-config: the prefix is found from the file's own folder.
file(RELATIVE_PATH TORVANE_PC_TO_PREFIX /prefix/${TORVANE_PKGCONFIG_DIR} /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/torvane.pc.in ${PROJECT_BINARY_DIR}/torvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/torvane.pc DESTINATION ${TORVANE_PKGCONFIG_DIR} COMPONENT dev)

# The tool finds the library beside it in any prefix.
set_target_properties(torvane_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS torvane_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES ${PROJECT_SOURCE_DIR}/docs/torvane.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)

# The Python module loads the library by its path relative to the module's folder.
file(RELATIVE_PATH TORVANE_PYTHON_TO_LIBRARY /prefix/${TORVANE_PYTHON_DIR}/torvane
  /prefix/${CMAKE_INSTALL_LIBDIR}/libtorvane.so.${PROJECT_VERSION_MAJOR})
configure_file(${PROJECT_SOURCE_DIR}/python/torvane/_library.py.in
  ${PROJECT_BINARY_DIR}/python/torvane/_library.py @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/python/torvane/__init__.py
              ${PROJECT_BINARY_DIR}/python/torvane/_library.py
  DESTINATION ${TORVANE_PYTHON_DIR}/torvane COMPONENT python)
