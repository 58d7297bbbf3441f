# The stereo application's computations: overlap, previews, depth pass, saving, batch mode.
# They open no windows, so tests and the batch mode run them without a display.
add_library(stereo_app STATIC
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
    auto_align.cpp
)
qiv_target_defaults(stereo_app)
target_link_libraries(stereo_app PUBLIC qivlib Qiv::OpenCV qiv_photoio Threads::Threads
                                 PRIVATE Qiv::OpenCVFeatures)
# The default services bind the disparity matcher, which lives in its own library.
if(TARGET stereo_matcher)
    target_sources(stereo_app PRIVATE batch_services.cpp)
    target_link_libraries(stereo_app PUBLIC stereo_matcher)
endif()
