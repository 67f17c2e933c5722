# Resaves IN to OUT with the command-line front end and fails unless the bytes are equal.
execute_process(COMMAND ${CLI} resave ${IN} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "resave failed with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${IN} ${OUT} RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUT} differs from ${IN}")
endif()
