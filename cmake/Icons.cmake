# The icon is drawn once, as resources/images/vormik.svg; every PNG size the desktop's icon theme
# wants, and the window icon compiled into the program, are rendered from it at build time, so a
# change to the drawing reaches every size.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(VORMIK_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/images/vormik.svg)
set(VORMIK_ICON_SIZES 16 22 24 32 48 64 128 256)
set(VORMIK_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(vormik_icon_pngs)
foreach(size IN LISTS VORMIK_ICON_SIZES)
  set(png ${VORMIK_ICON_DIR}/${size}x${size}/vormik.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VORMIK_ICON_DIR}/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${VORMIK_ICON_SVG}
    DEPENDS ${VORMIK_ICON_SVG}
    COMMENT "Rendering the ${size}-pixel icon"
    VERBATIM)
  list(APPEND vormik_icon_pngs ${png})
endforeach()
add_custom_target(vormik_icons ALL DEPENDS ${vormik_icon_pngs})
