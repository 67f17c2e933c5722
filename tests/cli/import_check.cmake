# Imports a small DeepLabCut CSV into IN's first camera view and fails unless the command says
# what came in; then a file with a word for a number must fail and name its line.
file(WRITE ${DIR}/tracks.csv "scorer,s,s,s,s,s,s\nbodyparts,head,head,head,Knee,Knee,Knee\ncoords,x,y,likelihood,x,y,likelihood\n0,120,60,0.9,118,190,0.8\n1,127,61,0.95,125,189,0.2\n")
execute_process(COMMAND ${CLI} import ${IN} --view 1 --format deeplabcut-csv ${DIR}/tracks.csv ${DIR}/imported.kdv
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT out STREQUAL "2 frames of 2 points imported into camera view 1\n")
  message(FATAL_ERROR "import failed with ${status}: ${out}${errors}")
endif()
file(WRITE ${DIR}/broken.csv "scorer,s,s,s\nbodyparts,head,head,head\ncoords,x,y,likelihood\n0,1,2,sure\n")
execute_process(COMMAND ${CLI} import ${IN} --view 1 --format deeplabcut-csv ${DIR}/broken.csv ${DIR}/broken.kdv
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "broken.csv, line 4: body part \"head\" has a value that is not a number")
  message(FATAL_ERROR "a broken file was not reported: ${status} ${errors}")
endif()
if(EXISTS ${DIR}/broken.kdv)
  message(FATAL_ERROR "a failed import wrote its output")
endif()
