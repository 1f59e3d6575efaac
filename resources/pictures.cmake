# The windows' pictures: drawn as SVG in resources/icons, rendered at build time to raw
# pixels at the size each window shows them (and @2x for high-DPI screens), and compiled
# into the program as :/icons/<name>.argb, which the forms read through formPicture
# (ui/pictures.h). Start-up then neither loads the SVG module nor decodes any image format.
add_executable(svg2argb ${CMAKE_SOURCE_DIR}/resources/svg2argb.cpp)
target_link_libraries(svg2argb PRIVATE Qt6::Gui Qt6::Svg)

set(PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(PICTURE_FILES)

# add_picture(<name> <svg in resources/icons> <width> <height>): :/icons/<name>.argb
function(add_picture name svg width height)
  set(source ${CMAKE_SOURCE_DIR}/resources/icons/${svg}.svg)
  set(out ${PICTURES_DIR}/icons/${name})
  add_custom_command(
    OUTPUT ${out}.argb ${out}@2x.argb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PICTURES_DIR}/icons
    COMMAND svg2argb ${source} ${out} ${width} ${height}
    DEPENDS svg2argb ${source}
    COMMENT "Rendering ${svg}.svg to ${name}.argb (${width}x${height})"
    VERBATIM)
  set(PICTURE_FILES ${PICTURE_FILES} ${out}.argb ${out}@2x.argb PARENT_SCOPE)
endfunction()

# Main window: the transport buttons' 16 px icons, the eject button's 20 px icon, the menu bar's
# overflow arrow, the play mode, fade and volume pictures at their labels' size, and the window
# (and tray) icon.
foreach(button previous play pause stop next random songlist pitch_down pitch_up)
  add_picture(${button} ${button} 16 16)
endforeach()
add_picture(eject eject 20 20)
add_picture(menu_more menu_more 16 16)
foreach(mode mode_repeat mode_list mode_random)
  add_picture(${mode} ${mode} 50 30)
endforeach()
add_picture(fade_in fade_in 27 14)
add_picture(fade_out fade_out 27 14)
add_picture(volume_track volume_track 33 135)
add_picture(volume_knob volume_knob 33 12)
add_picture(kestrune kestrune 64 64)
# About box: the program's picture in its 48 px label.
add_picture(kestrune_48 kestrune 48 48)

# The resource file is named "resources" for Q_INIT_RESOURCE(resources), which links the
# pictures out of the static library and registers them. They are stored uncompressed: the
# program reads them straight from its mapped file, and decompressing them took longer than
# everything else formPicture does.
set(PICTURE_ENTRIES)
foreach(file ${PICTURE_FILES})
  file(RELATIVE_PATH alias ${PICTURES_DIR} ${file})
  string(APPEND PICTURE_ENTRIES "  <file>${alias}</file>\n")
endforeach()
file(CONFIGURE OUTPUT ${PICTURES_DIR}/resources.qrc
  CONTENT "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n <qresource prefix=\"/\">\n${PICTURE_ENTRIES} </qresource>\n</RCC>\n")
qt_add_resources(PICTURE_SOURCES ${PICTURES_DIR}/resources.qrc OPTIONS --no-compress)
target_sources(kestrune_app PRIVATE ${PICTURE_SOURCES})
