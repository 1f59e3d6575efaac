# `cmake --install build --prefix P` lays the program out as a package would:
#   P/lib/kestrune/   the program, libvbmp3.so and the help document side by side: the program
#                     looks for the other two in its own folder, found with links resolved
#   P/bin/kestrune    a relative link to the program
#   P/share/applications/kestrune.desktop
#   P/share/metainfo/org.kestrune.kestrune.metainfo.xml
#   P/share/icons/hicolor/{scalable,NxN}/apps/kestrune.{svg,png}
# Qt and the other libraries are the system's, and libvbmp3.so is opened by its full path, so
# the installed files carry no RPATH.

# The AppStream licence and the date of the version in the project line. No licence has been
# chosen for Kestrune, so none is granted.
set(KESTRUNE_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence expression for the metainfo file")
set(KESTRUNE_RELEASE_DATE 2026-12-09)

set(PROGRAM_DIR lib/kestrune)
install(TARGETS kestrune vbmp3 RUNTIME DESTINATION ${PROGRAM_DIR} LIBRARY DESTINATION ${PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/help/kestrune-help.html DESTINATION ${PROGRAM_DIR})

# The link is made here and installed as it is, so it lands in install_manifest.txt too.
set(INSTALL_STAGE ${CMAKE_BINARY_DIR}/install-stage)
file(MAKE_DIRECTORY ${INSTALL_STAGE})
file(CREATE_LINK ../${PROGRAM_DIR}/kestrune ${INSTALL_STAGE}/kestrune SYMBOLIC)
install(FILES ${INSTALL_STAGE}/kestrune DESTINATION bin)

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/kestrune.desktop DESTINATION share/applications)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/org.kestrune.kestrune.metainfo.xml.in
  ${INSTALL_STAGE}/org.kestrune.kestrune.metainfo.xml @ONLY)
install(FILES ${INSTALL_STAGE}/org.kestrune.kestrune.metainfo.xml DESTINATION share/metainfo)

# The program's icon for the desktop's menus: the SVG itself, and PNGs at the usual sizes
# rendered from it by svg2argb.
set(ICON_SVG ${CMAKE_SOURCE_DIR}/resources/icons/kestrune.svg)
install(FILES ${ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)
set(ICON_PNGS)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${INSTALL_STAGE}/icons/${size}/kestrune.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${INSTALL_STAGE}/icons/${size}
    COMMAND svg2argb ${ICON_SVG} ${png} ${size} ${size}
    DEPENDS svg2argb ${ICON_SVG}
    COMMENT "Rendering the desktop icon at ${size}x${size}"
    VERBATIM)
  list(APPEND ICON_PNGS ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_icons ALL DEPENDS ${ICON_PNGS})
