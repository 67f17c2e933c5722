# Where an installed Kadivo keeps its files, and how the programs find them from their own
# folder, so that the tree works under any prefix and from a package.
include(GNUInstallDirs)
set(KADIVO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/kadivo)
set(KADIVO_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/kadivo)
set(KADIVO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kadivo)
file(RELATIVE_PATH KADIVO_BIN_TO_DATA /${CMAKE_INSTALL_BINDIR} /${KADIVO_INSTALL_DATADIR})
file(RELATIVE_PATH KADIVO_BIN_TO_MODULES /${CMAKE_INSTALL_BINDIR} /${KADIVO_INSTALL_MODULEDIR})
file(RELATIVE_PATH KADIVO_BIN_TO_LIB /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
# The installed programs find librastel in the tree they were installed with.
set(CMAKE_INSTALL_RPATH "$ORIGIN/${KADIVO_BIN_TO_LIB}")
