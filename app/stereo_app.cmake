# The stereo application's computations: overlap, previews, depth pass, saving, batch mode.
# They open no windows, so tests and the batch mode run them without a display.
add_library(stereo_app STATIC
    overlap.cpp
    view_buffers.cpp
    previews.cpp
    depth_pass.cpp
    save_results.cpp
)
qiv_target_defaults(stereo_app)
target_link_libraries(stereo_app PUBLIC qivlib Qiv::OpenCV)
