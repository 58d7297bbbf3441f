# Batch mode's command line and the eyes of a side-by-side layout, plain code without OpenCV: the
# qivstereo launcher answers the command line with them before it starts the batch program.
add_library(qiv_batch_args STATIC batch_args.cpp eyes.cpp)
qiv_target_defaults(qiv_batch_args)
target_include_directories(qiv_batch_args PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)

# The stereo application's computations: overlap, previews, depth pass, saving, batch mode.
# They open no windows, so tests and the batch mode run them without a display.
# They link neither Qt nor the framework: the windowed program hands them its buffers.
add_library(qiv_stereo STATIC
    overlap.cpp
    view_buffers.cpp
    previews.cpp
    depth_pass.cpp
    depth_jobs.cpp
    save_results.cpp
    layout.cpp
    photo_files.cpp
    batch.cpp
    auto_align.cpp
    dubois_anaglyph.cpp
    wiggle_gif.cpp
    save_extras.cpp
    batch_files.cpp
)
qiv_target_defaults(qiv_stereo)
target_include_directories(qiv_stereo PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
target_link_libraries(qiv_stereo PUBLIC Qiv::OpenCV qiv_photoio qiv_batch_args Threads::Threads
                                 PRIVATE Qiv::OpenCVFeatures)
# The default services bind the disparity matcher (stereo_matcher.cmake).
target_sources(qiv_stereo PRIVATE batch_services.cpp)
