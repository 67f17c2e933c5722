# Warnings and sanitizers shared by every Kadivo target.
add_library(kadivo_compile_options INTERFACE)
target_compile_options(kadivo_compile_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

if(KADIVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KADIVO_FUZZ)
  # Coverage instrumentation for everything the fuzz targets reach.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
