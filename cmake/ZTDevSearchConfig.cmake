# The device search under its older package name: ZT::ZTDevSearch is ZT330::DevSearch of the package
# ZT330 installed beside this one. New code uses find_package(ZT330 CONFIG) directly.
include(CMakeFindDependencyMacro)
find_dependency(ZT330 CONFIG
  PATHS "${CMAKE_CURRENT_LIST_DIR}/.." NO_DEFAULT_PATH)
if(NOT TARGET ZT::ZTDevSearch)
  add_library(ZT::ZTDevSearch INTERFACE IMPORTED)
  set_target_properties(ZT::ZTDevSearch PROPERTIES INTERFACE_LINK_LIBRARIES ZT330::DevSearch)
endif()
