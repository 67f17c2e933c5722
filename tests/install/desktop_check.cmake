# The installed desktop entry and AppStream description pass their validators, and with the
# installed file type registered in a data folder of its own, a sequence is known by its
# ending and, without one, by its first bytes.
set(share ${INSTALLED}/usr/share)
execute_process(COMMAND desktop-file-validate ${share}/applications/io.kadivo.Kadivo.desktop
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
execute_process(COMMAND appstreamcli validate --no-net ${share}/metainfo/io.kadivo.Kadivo.metainfo.xml
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${out}")
endif()

set(data ${DIR}/data)
file(REMOVE_RECURSE ${DIR})
file(COPY ${share}/mime/packages/kadivo-sequence.xml DESTINATION ${data}/mime/packages)
execute_process(COMMAND update-mime-database ${data}/mime OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${share}/kadivo/samples/demo.kdv ${DIR}/trial.kdv)
file(COPY_FILE ${share}/kadivo/samples/walk.kdv ${DIR}/no-ending)
file(WRITE ${DIR}/notes.txt "not a sequence\n")
foreach(pair "trial.kdv=application/x-kadivo-sequence" "no-ending=application/x-kadivo-sequence" "notes.txt=text/plain")
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 name)
  list(GET pair 1 type)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${data} XDG_DATA_DIRS=/usr/share --unset=XDG_CURRENT_DESKTOP
                          xdg-mime query filetype ${DIR}/${name}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT found STREQUAL type)
    message(FATAL_ERROR "xdg-mime takes ${name} for \"${found}\", not ${type}")
  endif()
endforeach()
