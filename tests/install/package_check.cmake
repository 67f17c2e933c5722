# cpack -G DEB makes the package, with the libraries it needs named by dpkg-shlibdeps and
# the installed tree as its contents.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB packages ${DIR}/kadivo_*.deb)
list(LENGTH packages count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made no package: ${out}")
endif()
execute_process(COMMAND dpkg-deb --info ${packages} OUTPUT_VARIABLE info COMMAND_ERROR_IS_FATAL ANY)
foreach(needed "Package: kadivo" "Section: science" "Depends:[^\n]*libqt6widgets6" "Depends:[^\n]*libavformat"
        "Depends:[^\n]*libhdf5" "Depends:[^\n]*libopencv-calib3d" "Depends:[^\n]*libglu1")
  if(NOT info MATCHES "${needed}")
    message(FATAL_ERROR "the package's control lacks ${needed}:\n${info}")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb --contents ${packages} OUTPUT_VARIABLE contents COMMAND_ERROR_IS_FATAL ANY)
foreach(file ./usr/bin/kadivo ./usr/bin/kadivo-cli ./usr/share/applications/io.kadivo.Kadivo.desktop
        ./usr/share/mime/packages/kadivo-sequence.xml ./usr/share/kadivo/samples/demo.kdv ./usr/include/rastel.h
        /kadivo/libkadivo_ffmpeg.so /kadivo/libkadivo_capture.so /kadivo/libkadivo_lens_solver.so /kadivo/libkadivo_hdf5.so)
  string(REPLACE "." "\\." pattern "${file}")
  if(NOT contents MATCHES "${pattern}\n")
    message(FATAL_ERROR "the package does not hold ${file}:\n${contents}")
  endif()
endforeach()
