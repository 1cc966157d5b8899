# Registry hive: the registry that the libraries read, loaded from a .reg text file. Linked statically
# into the SDK and the device search, so it depends on nothing but the standard library.
set(_zt_registry_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(zt_registry STATIC
  ${_zt_registry_dir}/src/registry/case_fold.cpp
  ${_zt_registry_dir}/src/registry/hive.cpp
  ${_zt_registry_dir}/src/registry/hive_file.cpp
  ${_zt_registry_dir}/src/registry/hive_store.cpp
  ${_zt_registry_dir}/src/registry/key_path.cpp
  ${_zt_registry_dir}/src/registry/reg_file_parser.cpp
  ${_zt_registry_dir}/src/registry/text_codec.cpp
  ${_zt_registry_dir}/src/registry/usb_serial_port.cpp
  ${_zt_registry_dir}/src/registry/value_data.cpp)
target_include_directories(zt_registry PUBLIC ${_zt_registry_dir}/include)
target_link_libraries(zt_registry PRIVATE zt_warnings)
set_target_properties(zt_registry PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
unset(_zt_registry_dir)
