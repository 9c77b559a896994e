# Where Linux keeps a desktop program's files, and the Debian package CPack makes of them:
# `cpack --config CPackConfig.cmake` in the build folder writes vormik_VERSION_ARCH.deb.

set(VORMIK_MAINTAINER "Kestrune <vormik@kestrune.example.net>")
set(VORMIK_SUPPORT_URL "https://kestrune.example.net/vormik/support/")
set(VORMIK_APPSTREAM_ID "org.example.vormik")
# The README's screenshot, as the project's web site serves it.
set(VORMIK_SCREENSHOT_URL "${PROJECT_HOMEPAGE_URL}docs/main-window.png")
set(VORMIK_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)

# Manual pages and the changelog go compressed, as Debian wants them; gzip -n keeps the package
# the same from build to build.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORMIK_MAINTAINER}")
set(vormik_compressed)
foreach(template man/vormik.1 man/vormik-export.1 man/vormik-import.1 man/vormik-check-links.1 debian/changelog)
  get_filename_component(name ${template} NAME)
  configure_file(resources/${template}.in ${VORMIK_PACKAGING_DIR}/${name} @ONLY)
  add_custom_command(OUTPUT ${VORMIK_PACKAGING_DIR}/${name}.gz
    COMMAND gzip -9 -n -f -k ${name}
    DEPENDS ${VORMIK_PACKAGING_DIR}/${name}
    WORKING_DIRECTORY ${VORMIK_PACKAGING_DIR}
    VERBATIM)
  list(APPEND vormik_compressed ${VORMIK_PACKAGING_DIR}/${name}.gz)
endforeach()
add_custom_target(vormik_docs ALL DEPENDS ${vormik_compressed})
set(vormik_metainfo ${VORMIK_PACKAGING_DIR}/${VORMIK_APPSTREAM_ID}.metainfo.xml)
configure_file(resources/vormik.metainfo.xml.in ${vormik_metainfo} @ONLY)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS vormik vormik-export vormik-import vormik-check-links RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks here when the files are not beside it (text/ProgramFiles).
install(FILES resources/VORMIK.hlp resources/ReadMe.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vormik)
install(FILES resources/vormik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vormik_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VORMIK_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VORMIK_ICON_SIZES)
  install(FILES ${VORMIK_ICON_DIR}/${size}x${size}/vormik.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${VORMIK_PACKAGING_DIR}/vormik.1.gz ${VORMIK_PACKAGING_DIR}/vormik-export.1.gz
  ${VORMIK_PACKAGING_DIR}/vormik-import.1.gz ${VORMIK_PACKAGING_DIR}/vormik-check-links.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES resources/debian/copyright ${VORMIK_PACKAGING_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vormik)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vormik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of folding tree menus of links for web pages")
set(CPACK_PACKAGE_VENDOR Kestrune)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The ReadMe opens through xdg-open; the window wants a Japanese font, and Qt's own dialogs
# speak Japanese with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk | fonts-japanese-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Vormik is a desktop editor, with a Japanese user interface, for the
collapsible tree menu of links that sits at the side of many Japanese web
sites. Groups and links are arranged in a tree, saved as an XML project
file and exported as one XHTML page in which every group folds open and
shut with a click. The tree lines are drawn with box-drawing characters,
so the menu needs no images. The command vormik-export writes the page of
a project file from scripts.

Vormik（ヴォルミク）は、リンク集などのツリー型メニューを
作るための、日本語の画面のエディタです。グループとリンクを
木構造に並べて XML のセーブデータに保存し、グループを
クリックで開閉できる 1 枚の XHTML ページとして出力します。
罫線は全角の罫線文字で描かれるので、画像は要りません。
コマンド vormik-export で、スクリプトからもページを
書き出せます。]=])
include(CPack)
