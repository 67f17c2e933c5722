# Installs the build into DIR/root under the prefix /usr, as the package does, then checks
# the tree, runs the installed kadivo-cli on the installed demo (its video module and
# librastel found from the installed tree), and builds and runs a program outside the tree
# against the installed rastel package.
file(REMOVE_RECURSE ${DIR})
set(root ${DIR}/root)
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

foreach(file
    bin/kadivo bin/kadivo-cli
    include/rastel.h ${LIBDIR}/librastel.so ${LIBDIR}/cmake/rastel/rastelConfig.cmake ${LIBDIR}/kadivo/libkadivo_ffmpeg.so ${LIBDIR}/kadivo/libkadivo_capture.so
    ${LIBDIR}/kadivo/libkadivo_lens_solver.so ${LIBDIR}/kadivo/libkadivo_hdf5.so
    share/kadivo/tips.txt share/kadivo/floor.bmp share/kadivo/samples/demo.kdv share/kadivo/samples/demo-left.avi
    share/kadivo/samples/walk.kdv share/kadivo/samples/walk.avi share/kadivo/workflow/Snakefile
    share/doc/kadivo/manual/index.md share/man/man1/kadivo.1 share/man/man1/kadivo-cli.1
    share/applications/io.kadivo.Kadivo.desktop share/metainfo/io.kadivo.Kadivo.metainfo.xml
    share/mime/packages/kadivo-sequence.xml
    share/icons/hicolor/scalable/apps/kadivo.svg share/icons/hicolor/16x16/apps/kadivo.png
    share/icons/hicolor/48x48/apps/kadivo.png share/icons/hicolor/256x256/apps/kadivo.png)
  if(NOT EXISTS ${root}/usr/${file})
    message(FATAL_ERROR "the installed tree lacks usr/${file}")
  endif()
endforeach()
file(GLOB_RECURSE installed RELATIVE ${root} ${root}/*)
foreach(file IN LISTS installed)
  if(file MATCHES "test|bench|fuzz|make_demo|make_sample_video|kadivo-make-images|\\.a$")
    message(FATAL_ERROR "the installed tree holds ${file}, which is the build's own")
  endif()
endforeach()

# The installed program loads what it was installed with, not the build's copies.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_DEBUG=files
                        ${root}/usr/bin/kadivo-cli video-info ${root}/usr/share/kadivo/samples/demo-left.avi
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE loaded)
if(NOT status EQUAL 0 OR NOT out MATCHES "frame size: 512 x 400")
  message(FATAL_ERROR "the installed kadivo-cli could not read the installed demo's video: ${out}")
endif()
foreach(library librastel.so kadivo/libkadivo_ffmpeg.so)
  if(NOT loaded MATCHES "calling init: [^\n]*${root}/usr/[^\n]*${library}")
    message(FATAL_ERROR "the installed kadivo-cli did not load the installed ${library}")
  endif()
endforeach()
execute_process(COMMAND ${root}/usr/bin/kadivo-cli info ${root}/usr/share/kadivo/samples/demo.kdv
                RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "\"name\":\"Ankle\"")
  message(FATAL_ERROR "the installed kadivo-cli could not open the installed demo")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer -B ${DIR}/consumer -G Ninja
                        -DCMAKE_PREFIX_PATH=${root}/usr
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${DIR}/consumer OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${DIR}/consumer/rastel_consumer RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out STREQUAL "rastel 40\n")
  message(FATAL_ERROR "the program built against the installed rastel printed \"${out}\" (${status})")
endif()
