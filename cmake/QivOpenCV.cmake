# Debian splits OpenCV into per-module packages without a CMake package for the subset we
# install, so the modules are located directly. Qiv::OpenCV is the computing modules; the
# program reads and writes files through photoio, and only the scene generator and its tests
# link the codecs (Qiv::OpenCVCodecs).
find_path(QIV_OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
add_library(QivOpenCV INTERFACE)
target_include_directories(QivOpenCV SYSTEM INTERFACE ${QIV_OPENCV_INCLUDE_DIR})
foreach(module core imgproc calib3d)
    find_library(QIV_OPENCV_${module}_LIBRARY opencv_${module} REQUIRED)
    target_link_libraries(QivOpenCV INTERFACE ${QIV_OPENCV_${module}_LIBRARY})
endforeach()
add_library(Qiv::OpenCV ALIAS QivOpenCV)

# Feature detection and matching, for the automatic alignment only.
find_library(QIV_OPENCV_features2d_LIBRARY opencv_features2d REQUIRED)
add_library(QivOpenCVFeatures INTERFACE)
target_link_libraries(QivOpenCVFeatures INTERFACE QivOpenCV ${QIV_OPENCV_features2d_LIBRARY})
add_library(Qiv::OpenCVFeatures ALIAS QivOpenCVFeatures)

find_library(QIV_OPENCV_imgcodecs_LIBRARY opencv_imgcodecs REQUIRED)
add_library(QivOpenCVCodecs INTERFACE)
target_link_libraries(QivOpenCVCodecs INTERFACE QivOpenCV ${QIV_OPENCV_imgcodecs_LIBRARY})
add_library(Qiv::OpenCVCodecs ALIAS QivOpenCVCodecs)
