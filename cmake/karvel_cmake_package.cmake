# SPDX-License-Identifier: MIT
# The CMake package `Karvel`: find_package(Karvel 1 REQUIRED) gives Karvel::wnaspi32,
# Karvel::nevsel and Karvel::ostrik. Any 1.x satisfies a request for 1: the C exports only grow
# within a major version.
include(CMakePackageConfigHelpers)
set(KARVEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Karvel)
install(EXPORT KarvelTargets NAMESPACE Karvel:: DESTINATION ${KARVEL_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KarvelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/cmake/KarvelConfig.cmake INSTALL_DESTINATION ${KARVEL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/KarvelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/KarvelConfig.cmake ${PROJECT_BINARY_DIR}/cmake/KarvelConfigVersion.cmake
  DESTINATION ${KARVEL_CMAKE_DIR})
