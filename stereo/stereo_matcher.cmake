# The disparity matcher. qiv_stereo_matcher works on plain grey buffers and links no OpenCV, so
# that qiv-disparity starts without it; the OpenCV face (cvFindStereoCorrespondence) is part of
# the stereo core.
add_library(qiv_stereo_matcher STATIC
    grey_matcher.cpp
    grey_pixels.cpp
    stereo_matcher.cpp
    stereo_matcher_rows.cpp
    stereo_matcher_post.cpp
    stereo_matcher_dp_generic.cpp
    stereo_matcher_dp_avx2.cpp
    stereo_matcher_dp_avx512.cpp
)
qiv_target_defaults(qiv_stereo_matcher)
target_include_directories(qiv_stereo_matcher PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
target_link_libraries(qiv_stereo_matcher PUBLIC Threads::Threads)
target_sources(qiv_stereo PRIVATE stereo_matcher_api.cpp)
target_link_libraries(qiv_stereo PUBLIC qiv_stereo_matcher)
# GCC notes that 32-byte vector arguments change the ABI without AVX; the kernel's helpers are
# all internal, so the note does not apply.
target_compile_options(qiv_stereo_matcher PRIVATE -Wno-psabi)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    set_source_files_properties(stereo_matcher_dp_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    set_source_files_properties(stereo_matcher_dp_avx512.cpp PROPERTIES COMPILE_OPTIONS
        "-mavx512f;-mavx512bw;-mavx512vl")
endif()
# The bounds, edge flags and propagation are plain byte loops written for the vectorizer, which
# -O2 (the default RelWithDebInfo) leaves off.
set_source_files_properties(stereo_matcher_rows.cpp stereo_matcher_post.cpp PROPERTIES
    COMPILE_OPTIONS "-ftree-vectorize")
