# The demo with its seven markers placed on the first frame of both views (their whole-pixel
# projections, in DeepLabCut's layout with y downwards), brought in by kadivo-cli import, so
# that tracking has work to do: writes ${dir}/first.kdv beside copies of the demo's videos.
function(make_first_frame_demo cli demo dir)
  file(MAKE_DIRECTORY ${dir})
  get_filename_component(samples ${demo} DIRECTORY)
  file(COPY ${demo} ${samples}/demo-left.avi ${samples}/demo-right.avi DESTINATION ${dir})
  set(header "scorer,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s,s\nbodyparts")
  foreach(part Head Shoulder Elbow Wrist Hip Knee Ankle)
    string(APPEND header ",${part},${part},${part}")
  endforeach()
  string(APPEND header "\ncoords,x,y,likelihood,x,y,likelihood,x,y,likelihood,x,y,likelihood,x,y,likelihood,x,y,likelihood,x,y,likelihood\n")
  file(WRITE ${dir}/left.csv "${header}0,140,76,1,136,118,1,137,166,1,176,163,1,131,197,1,132,267,1,128,334,1\n")
  file(WRITE ${dir}/right.csv "${header}0,143,83,1,134,120,1,135,160,1,164,160,1,131,187,1,131,246,1,129,302,1\n")
  execute_process(COMMAND ${cli} import ${dir}/demo.kdv --view 1 --format deeplabcut-csv ${dir}/left.csv ${dir}/left.kdv
                  COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
  execute_process(COMMAND ${cli} import ${dir}/left.kdv --view 2 --format deeplabcut-csv ${dir}/right.csv ${dir}/first.kdv
                  COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
endfunction()

# Fails unless every file of `expected` is in `actual` with the same bytes, and nothing more.
function(expect_same_files expected actual)
  file(GLOB wanted RELATIVE ${expected} ${expected}/*)
  file(GLOB got RELATIVE ${actual} ${actual}/*)
  list(SORT wanted)
  list(SORT got)
  if(NOT wanted STREQUAL got)
    message(FATAL_ERROR "${actual} holds ${got}, not ${wanted}")
  endif()
  foreach(name IN LISTS wanted)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected}/${name} ${actual}/${name} RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "${actual}/${name} differs from the single run's")
    endif()
  endforeach()
endfunction()
