# Install layout and the Debian package.
#   library, SONAME links and header  -> lib/<multiarch>, include
#   pkg-config file and CMake package -> lib/<multiarch>/pkgconfig, lib/<multiarch>/cmake/KORVID
#   KORVID_Demo and korvid            -> bin
#   desktop entry and icon            -> share/applications, share/icons/hicolor
#   udev access rules                 -> lib/udev/rules.d (the packaged-rules folder)
include(CMakePackageConfigHelpers)

if(WIN32)
  # Windows: KORVID.dll, KORVID_Demo.exe and korvid.exe in bin, the import library
  # KORVID.lib and KORVID.def (for other linkers' import libraries) in lib, the
  # headers in include; cpack -G ZIP packs the same tree.
  install(TARGETS korvid
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES lib/korvid.def RENAME KORVID.def DESTINATION ${CMAKE_INSTALL_LIBDIR})
  foreach(program KORVID_Demo korvid_cli)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME korvid)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

install(TARGETS korvid EXPORT KORVIDTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT KORVIDTargets NAMESPACE KORVID:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KORVID)
configure_package_config_file(packaging/KORVIDConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KORVIDConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KORVID)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KORVIDConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KORVIDConfig.cmake ${PROJECT_BINARY_DIR}/KORVIDConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KORVID)
# The pkg-config file finds its prefix from its own place, so the same file serves
# an install under any prefix and the Debian package.
file(RELATIVE_PATH KORVID_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(packaging/korvid.pc.in ${PROJECT_BINARY_DIR}/korvid.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/korvid.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
install(FILES packaging/60-korvid.rules DESTINATION lib/udev/rules.d)

foreach(program KORVID_Demo korvid_cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET KORVID_Demo)
  install(FILES packaging/korvid-demo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The program's own icon (icon 128) is the desktop icon too.
  install(FILES app/resources/icon128.png RENAME korvid-demo.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvid)
set(CPACK_PACKAGE_VENDOR "KORVID")
set(CPACK_PACKAGE_CONTACT "KORVID developers <korvid@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "8051 microcontroller programmer: library, workbench and tool")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Programs 8051-family microcontrollers through the USB programmer.\n libkorvid, the KORVID_Demo workbench, the korvid command-line tool and udev\n rules that give the logged-in user access to the programmer.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The window needs Qt's X11/Wayland platform plugins, which Qt only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
