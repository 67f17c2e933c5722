# OpenCV's modules from Debian's libopencv-*-dev packages, which ship headers and libraries
# without a CMake package: KadivoOpenCV::calib3d for lens calibration (with imgproc and core),
# KadivoOpenCV::imgproc for the benchmarks' peers.
find_path(KADIVO_OPENCV_INCLUDE_DIR opencv2/calib3d.hpp PATH_SUFFIXES opencv4 REQUIRED)
find_library(KADIVO_OPENCV_CORE_LIBRARY opencv_core REQUIRED)
find_library(KADIVO_OPENCV_IMGPROC_LIBRARY opencv_imgproc REQUIRED)
find_library(KADIVO_OPENCV_CALIB3D_LIBRARY opencv_calib3d REQUIRED)

add_library(KadivoOpenCV::imgproc INTERFACE IMPORTED)
target_include_directories(KadivoOpenCV::imgproc SYSTEM INTERFACE ${KADIVO_OPENCV_INCLUDE_DIR})
target_link_libraries(KadivoOpenCV::imgproc INTERFACE ${KADIVO_OPENCV_IMGPROC_LIBRARY} ${KADIVO_OPENCV_CORE_LIBRARY})
add_library(KadivoOpenCV::calib3d INTERFACE IMPORTED)
target_link_libraries(KadivoOpenCV::calib3d INTERFACE ${KADIVO_OPENCV_CALIB3D_LIBRARY} KadivoOpenCV::imgproc)
