# The CMake package of the installed libraries:
#   find_package(ZT330 CONFIG REQUIRED)   ->  ZT330::Sdk (libZT330Sdk), ZT330::DevSearch (libZTDevSearch)
# The components Sdk and DevSearch may be named (COMPONENTS Sdk DevSearch); both are always there.
# The package ZTDevSearch, which the device search installed on its own before, stays as a thin
# package over this one: find_package(ZTDevSearch CONFIG) gives ZT::ZTDevSearch, the same library.
include(CMakePackageConfigHelpers)

set(ZT330_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZT330)
install(EXPORT ZT330Targets NAMESPACE ZT330:: DESTINATION ${ZT330_CMAKE_DIR})
configure_package_config_file(cmake/ZT330Config.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/ZT330Config.cmake
  INSTALL_DESTINATION ${ZT330_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZT330ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZT330Config.cmake ${CMAKE_CURRENT_BINARY_DIR}/ZT330ConfigVersion.cmake
  DESTINATION ${ZT330_CMAKE_DIR})

set(ZTDEVSEARCH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZTDevSearch)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZTDevSearchConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES cmake/ZTDevSearchConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/ZTDevSearchConfigVersion.cmake
  DESTINATION ${ZTDEVSEARCH_CMAKE_DIR})
