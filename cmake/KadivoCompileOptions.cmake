# Warnings and sanitizers shared by every Kadivo target.
add_library(kadivo_compile_options INTERFACE)
target_compile_options(kadivo_compile_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

if(KADIVO_SANITIZE)
  # float-cast-overflow is not part of "undefined" in GCC: a stored position that is not a
  # number must never reach an integer conversion.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(KADIVO_FUZZ)
  # Coverage instrumentation for everything the fuzz targets reach; undefined behaviour
  # ends the run like a crash, so the fuzzer keeps the input that shows it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# One static library per subsystem folder: its headers are public, its warnings shared.
function(kadivo_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE kadivo_compile_options)
endfunction()

# A module loaded on first use (see platform/LoadableModule.h): built into the build's module
# folder, where a program run from the build finds it, and installed into the installed
# tree's. Only its C entry points are visible; it sees the core's and the platform's headers.
# It links system libraries only, found where the system keeps them: it has no search path
# of its own (a build tree's would end in an empty entry, the current folder).
set(KADIVO_MODULE_DIR ${CMAKE_BINARY_DIR}/modules)
function(kadivo_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${KADIVO_MODULE_DIR} SKIP_BUILD_RPATH ON
                                           CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/core
                                             ${PROJECT_SOURCE_DIR}/platform)
  target_link_libraries(${name} PRIVATE kadivo_compile_options)
  install(TARGETS ${name} LIBRARY DESTINATION ${KADIVO_INSTALL_MODULEDIR})
endfunction()
