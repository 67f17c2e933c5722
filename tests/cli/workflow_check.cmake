# The Snakemake workflow on eight copies of the demo with two cores gives, byte for byte, the
# files of running each trial by itself.
include(${CMAKE_CURRENT_LIST_DIR}/first_frame_demo.cmake)
file(REMOVE_RECURSE ${DIR})
make_first_frame_demo(${CLI} ${DEMO} ${DIR})

set(manifest "sequence,track,exports\n")
foreach(n RANGE 1 8)
  file(COPY_FILE ${DIR}/first.kdv ${DIR}/trial${n}.kdv)
  if(n LESS_EQUAL 6)
    set(track all)
    set(exports "c3d;trc;linear")
  else()
    set(track none)
    set(exports "points;csm")
  endif()
  string(APPEND manifest "trial${n}.kdv,${track},${exports}\n")
  execute_process(COMMAND ${CLI} trial ${DIR}/trial${n}.kdv --track ${track} --exports "${exports}" --out ${DIR}/out
                  COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
endforeach()
file(WRITE ${DIR}/manifest.csv "${manifest}")
file(RENAME ${DIR}/out ${DIR}/single)

execute_process(COMMAND snakemake -s ${SNAKEFILE} --cores 2 --directory ${DIR}
                        --config manifest=${DIR}/manifest.csv out=${DIR}/out kadivo_cli=${CLI}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT errors MATCHES "9 of 9 steps \\(100%\\) done")
  message(FATAL_ERROR "snakemake ended with ${status}:\n${out}${errors}")
endif()
expect_same_files(${DIR}/single ${DIR}/out)
