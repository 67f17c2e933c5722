# Fails when one of FILES (a list) would look for the libraries it needs in the current
# folder: an empty entry in its library search path, as the build tree's copy of an installed
# file gets when its path is padded for the install to rewrite.
foreach(file IN LISTS FILES)
  execute_process(COMMAND readelf --dynamic ${file} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "Library (runpath|rpath): \\[[^]\n]*\\]" paths "${dynamic}")
  foreach(path IN LISTS paths)
    string(REGEX REPLACE "^Library (runpath|rpath): \\[(.*)\\]$" "\\2" entries "${path}")
    if(entries STREQUAL "" OR entries MATCHES "^:|::|:$")
      message(FATAL_ERROR "${file} looks for its libraries in the current folder: its search path is [${entries}]")
    endif()
  endforeach()
endforeach()
