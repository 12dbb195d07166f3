# Installation and the Debian package.
#   cmake --install build [--prefix DIR]   vorax, vorax-sim and vorax-gui (when built) in
#                                          DIR/bin, the documents and examples in
#                                          DIR/share/doc/vorax
#   cd build && cpack -G DEB               vorax_VERSION_ARCH.deb with the same files
include(GNUInstallDirs)

set(VORAX_INSTALLED_PROGRAMS vorax)
foreach(program vorax-sim vorax-gui)
  if(TARGET ${program})
    list(APPEND VORAX_INSTALLED_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${VORAX_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
file(GLOB VORAX_DOCUMENTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${VORAX_DOCUMENTS} ${CMAKE_SOURCE_DIR}/docs/window.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.PAS")

set(CPACK_PACKAGE_NAME vorax)
set(CPACK_PACKAGE_VENDOR "VORAX developers")
set(CPACK_PACKAGE_CONTACT "VORAX developers <vorax@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Pascal compiler for the H8/300H family, with a simulator to run its output")
set(CPACK_PACKAGE_DESCRIPTION
    "VORAX compiles a small Pascal dialect for embedded programs into assembly for the H8/300H (variants 300H, 300L and 2000). vorax-sim assembles and runs that output on a simulated processor with a host-implemented runtime library.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The package's dependencies (the C++ library, Qt when the window is in it) are read from
# the programs themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
