# kadivo-cli batch on eight copies of the demo with a damaged sequence among them, two jobs at
# a time: the damaged one fails alone, and every trial's exports equal, byte for byte, those
# of running each trial by itself.
include(${CMAKE_CURRENT_LIST_DIR}/first_frame_demo.cmake)
file(REMOVE_RECURSE ${DIR})
make_first_frame_demo(${CLI} ${DEMO} ${DIR})

set(all "c3d;trc;mot;bvh;csm;linear;angular;points")
set(manifest "sequence,track,exports\n")
foreach(n RANGE 1 8)
  file(COPY_FILE ${DIR}/first.kdv ${DIR}/trial${n}.kdv)
  # Half the trials track every view; the others track none or only the current view.
  if(n LESS_EQUAL 4)
    set(track all)
  elseif(n LESS_EQUAL 6)
    set(track current)
  else()
    set(track none)
  endif()
  string(APPEND manifest "trial${n}.kdv,${track},${all}\n")
  execute_process(COMMAND ${CLI} trial ${DIR}/trial${n}.kdv --track ${track} --exports "${all}" --out ${DIR}/out
                  COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
  if(n EQUAL 4)
    string(APPEND manifest "damaged.kdv,all,c3d\n")
  endif()
endforeach()
file(WRITE ${DIR}/manifest.csv "${manifest}")
file(RENAME ${DIR}/out ${DIR}/single)
# The damaged sequence: the first 300 bytes of a good one.
execute_process(COMMAND head -c 300 ${DIR}/first.kdv OUTPUT_FILE ${DIR}/damaged.kdv COMMAND_ERROR_IS_FATAL ANY)

execute_process(COMMAND ${CLI} batch ${DIR}/manifest.csv --jobs 2 --out ${DIR}/out
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "a batch with a damaged trial ended with ${status}: ${report}${errors}")
endif()
# The report's semicolons would split CMake's list of matches.
string(REPLACE ";" "," lines "${report}")
string(REGEX MATCHALL "done\t[^\n]*trial[1-8].kdv\t[0-9.]+ s\t[^\n]*wrote trial[1-8].c3d, [^\n]*points.txt\n" done "${lines}")
list(LENGTH done doneCount)
if(NOT doneCount EQUAL 8 OR NOT report MATCHES "FAILED\t[^\n]*damaged.kdv\t[0-9.]+ s\tUnable to read the sequence file"
   OR NOT report MATCHES "9 trials: 8 done, 1 failed\n$")
  message(FATAL_ERROR "the batch's report is not one line per trial and a summary:\n${report}${errors}")
endif()
expect_same_files(${DIR}/single ${DIR}/out)
