# The stereo computations: overlap, previews, depth pass, saving, batch mode, alignment. They
# open no windows and link neither Qt nor the framework, so tests, the batch mode and the
# command-line tools run them without a display.
add_library(qiv_stereo STATIC
    overlap.cpp
    eyes.cpp
    view_buffers.cpp
    previews.cpp
    depth_pass.cpp
    depth_jobs.cpp
    save_results.cpp
    layout.cpp
    photo_files.cpp
    batch_args.cpp
    batch.cpp
    batch_services.cpp
    auto_align.cpp
)
qiv_target_defaults(qiv_stereo)
target_include_directories(qiv_stereo PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
target_link_libraries(qiv_stereo PUBLIC Qiv::OpenCV qiv_photoio Threads::Threads
                                 PRIVATE Qiv::OpenCVFeatures)
