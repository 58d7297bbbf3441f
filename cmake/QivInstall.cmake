# cmake --install: the library for programs of one's own (headers, static libraries and a CMake
# package: find_package(QIVLIB) gives QIVLIB::qivlib), and the stereo tool for desktop users.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QIV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QIVLIB)
set_target_properties(qivlib PROPERTIES EXPORT_NAME framework)
set_target_properties(qivlib_program PROPERTIES EXPORT_NAME qivlib)
set_target_properties(qiv_photoio PROPERTIES EXPORT_NAME photoio)
set_target_properties(platform_main PROPERTIES EXPORT_NAME main)
set_target_properties(QivOpenCV PROPERTIES EXPORT_NAME OpenCV)

install(TARGETS qivlib_program qivlib platform platform_core platform_main qiv_photoio QivOpenCV
        EXPORT QIVLIBTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}/qivlib
        OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/qivlib
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qivlib
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qivlib)
install(EXPORT QIVLIBTargets NAMESPACE QIVLIB:: DESTINATION ${QIV_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QIVLIBConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/QIVLIBConfig.cmake
                              INSTALL_DESTINATION ${QIV_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QIVLIBConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QIVLIBConfig.cmake
              ${PROJECT_BINARY_DIR}/QIVLIBConfigVersion.cmake
        DESTINATION ${QIV_CMAKE_DIR})

# The stereo tool: qivstereo and qiv-disparity on the PATH, the windowed program and the
# batch program where qivstereo looks for them (../libexec), a desktop entry with its icon, and
# the sample photo.
install(TARGETS qivstereo qiv-disparity RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS qivstereo-gui qivstereo-batch RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR})
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/qivstereo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/qivstereo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/qivstereo-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME qivstereo.xml)
install(FILES ${PROJECT_SOURCE_DIR}/app/sample/garden_pair.jpg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/qivstereo)
