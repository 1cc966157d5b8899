# Where installed programs find libZT330Sdk and libZTDevSearch (the libraries themselves need none).
# The build tree's RPATH is dropped at install. Installed into a folder that the loader searches anyway
# (/usr/lib/<triplet> of a Debian package), the programs carry no RPATH at all; installed under any
# other prefix (/usr/local, a staging folder) they carry one relative to themselves,
# $ORIGIN/../<libdir>, so that the whole prefix can be moved. Decided at configure time from
# CMAKE_INSTALL_PREFIX and CMAKE_INSTALL_LIBDIR.
if(NOT DEFINED CMAKE_INSTALL_RPATH)
  list(FIND CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES "${CMAKE_INSTALL_FULL_LIBDIR}" zt_libdir_is_system)
  list(FIND CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES "${CMAKE_INSTALL_FULL_LIBDIR}" zt_libdir_is_platform)
  if(zt_libdir_is_system EQUAL -1 AND zt_libdir_is_platform EQUAL -1)
    file(RELATIVE_PATH zt_bin_to_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
    set(CMAKE_INSTALL_RPATH "$ORIGIN/${zt_bin_to_lib}")
  endif()
endif()
