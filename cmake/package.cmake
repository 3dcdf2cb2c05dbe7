# What `cmake --install` adds beside the library and its headers: the CMake
# package (find_package(kovra) gives kovra::engine), kovra.pc for
# pkg-config, and the data and documentation the engine itself relies on.
include(CMakePackageConfigHelpers)

set(KOVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kovra)
install(EXPORT kovraTargets NAMESPACE kovra:: DESTINATION ${KOVRA_CMAKE_DIR})
set(KOVRA_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kovra)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kovraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/kovraConfig.cmake INSTALL_DESTINATION ${KOVRA_CMAKE_DIR}
  PATH_VARS KOVRA_INCLUDE_DIR)
# Below 1.0 a new minor version may change the interface.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/kovraConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kovraConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/kovraConfigVersion.cmake DESTINATION ${KOVRA_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so that an install
# moved or made with `--prefix` elsewhere still describes itself.
file(RELATIVE_PATH KOVRA_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kovra.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kovra.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kovra.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Programs shipped with the engine install themselves from their own
# folder, beside their target, e.g. in player/CMakeLists.txt:
#   install(TARGETS kovra-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The engine falls back on these when a show's own files fail: the
# wireframe effect for objects whose every variant failed, the default
# texture for one that cannot be read. A show copies share/kovra/data into
# its own data folder.
set(KOVRA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kovra)
install(FILES ${PROJECT_SOURCE_DIR}/data/wireframe.efx ${PROJECT_SOURCE_DIR}/data/default.dds
  DESTINATION ${KOVRA_SHARE_DIR}/data)
install(FILES ${PROJECT_SOURCE_DIR}/data/fx/wireframe.fx DESTINATION ${KOVRA_SHARE_DIR}/data/fx)
install(FILES ${PROJECT_SOURCE_DIR}/docs/effect-files.md DESTINATION ${KOVRA_SHARE_DIR}/docs)
