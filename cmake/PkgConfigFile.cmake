# zt_install_pkgconfig(TEMPLATE): installs the pkg-config file made from TEMPLATE (NAME.pc.in) into
# <libdir>/pkgconfig. The file is written at install time, so that its prefix is the one installed to
# (`cmake --install --prefix P` after configuring with another prefix). In the template, @ZT_PC_PREFIX@,
# @ZT_PC_LIBDIR@, @ZT_PC_INCLUDEDIR@ are the installed folders, @PROJECT_VERSION@ the version. A
# relative libdir or includedir is written as ${prefix}/...; paths that hold spaces are quoted in the
# template's Cflags and Libs.
function(zt_install_pkgconfig template)
  get_filename_component(name ${template} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/${name}.pc)
  foreach(kind LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
      set(${kind} "${CMAKE_INSTALL_${kind}}")
    else()
      set(${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
    endif()
  endforeach()
  install(CODE "
    set(ZT_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(ZT_PC_LIBDIR [==[${LIBDIR}]==])
    set(ZT_PC_INCLUDEDIR [==[${INCLUDEDIR}]==])
    set(PROJECT_VERSION \"${PROJECT_VERSION}\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/${template}\" \"${out}\" @ONLY)")
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
