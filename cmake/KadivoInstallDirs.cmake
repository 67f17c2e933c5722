# Where an installed Kadivo keeps its files, and how the programs find them from their own
# folder, so that the tree works under any prefix and from a package.
include(GNUInstallDirs)
set(KADIVO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/kadivo)
set(KADIVO_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/kadivo)
set(KADIVO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kadivo)
file(RELATIVE_PATH KADIVO_BIN_TO_DATA /${CMAKE_INSTALL_BINDIR} /${KADIVO_INSTALL_DATADIR})
file(RELATIVE_PATH KADIVO_BIN_TO_MODULES /${CMAKE_INSTALL_BINDIR} /${KADIVO_INSTALL_MODULEDIR})
file(RELATIVE_PATH KADIVO_BIN_TO_LIB /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})

# The programs find librastel through a search path relative to themselves, the same in the
# build tree as in the installed one: librastel is built into the build's own lib folder,
# and the programs are built one folder below the build's top, as bin is below the prefix.
# A search path that the install had to rewrite would be padded in the build tree with empty
# entries, which the loader takes for the current folder; nothing else gets one.
set(KADIVO_BUILD_LIBDIR ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_LIBDIR})
function(kadivo_find_libraries_beside program)
  set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${KADIVO_BIN_TO_LIB}" BUILD_WITH_INSTALL_RPATH ON)
endfunction()
