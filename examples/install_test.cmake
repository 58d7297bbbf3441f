# Installs the built tree into a fresh prefix and builds the example program from outside the
# tree against it with find_package(QIVLIB), as a user would.
#   cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DWORK_DIR=... -DGENERATOR=... -DCXX=... -P install_test.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
foreach(file include/qivlib/runtime/qivlib.h include/qivlib/platform/win32.h
             lib/cmake/QIVLIB/QIVLIBConfigVersion.cmake bin/qivstereo bin/qiv-disparity
             libexec/qivstereo-gui libexec/qivstereo-batch share/applications/qivstereo.desktop
             share/qivstereo/garden_pair.jpg)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The installed launcher finds the batch program in ../libexec.
file(MAKE_DIRECTORY ${WORK_DIR}/batch)
run(${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
    ${prefix}/bin/qivstereo --batch ${prefix}/share/qivstereo/garden_pair.jpg --out ${WORK_DIR}/batch)
if(NOT EXISTS ${WORK_DIR}/batch/garden_pair_depth.png)
    message(FATAL_ERROR "the installed batch mode wrote no depth map")
endif()

# The copy of the example goes outside the source tree, so that nothing of the tree is found.
file(COPY ${SOURCE_DIR}/examples/threshold DESTINATION ${WORK_DIR})
set(launcher)
find_program(ccache ccache)
if(ccache)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${ccache})
endif()
run(${CMAKE_COMMAND} -S ${WORK_DIR}/threshold -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    ${launcher})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
if(NOT EXISTS ${WORK_DIR}/build/threshold)
    message(FATAL_ERROR "the example did not build")
endif()
