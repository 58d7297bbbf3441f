# The disparity matcher, a library of its own so that the application, the tools, the tests and
# the benchmarks share it.
add_library(stereo_matcher STATIC
    stereo_matcher.cpp
    stereo_matcher_api.cpp
    stereo_matcher_rows.cpp
    stereo_matcher_post.cpp
    stereo_matcher_dp_generic.cpp
    stereo_matcher_dp_avx2.cpp
    stereo_matcher_dp_avx512.cpp
)
qiv_target_defaults(stereo_matcher)
target_link_libraries(stereo_matcher PUBLIC Qiv::OpenCV PRIVATE Threads::Threads)
# GCC notes that 32-byte vector arguments change the ABI without AVX; the kernel's helpers are
# all internal, so the note does not apply.
target_compile_options(stereo_matcher PRIVATE -Wno-psabi)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    set_source_files_properties(stereo_matcher_dp_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    set_source_files_properties(stereo_matcher_dp_avx512.cpp PROPERTIES COMPILE_OPTIONS
        "-mavx512f;-mavx512bw;-mavx512vl")
endif()
