# Where Linux keeps a desktop program's files, and the Debian package CPack makes of them:
# `cpack --config CPackConfig.cmake` in the build folder writes vormik_VERSION_ARCH.deb.

# The package's maintainer is whoever makes it: Debian's tools take the name and address from
# DEBFULLNAME and DEBEMAIL, and so does this setting unless it is given.
set(vormik_maintainer_default "")
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(vormik_maintainer_default "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
endif()
set(VORMIK_MAINTAINER "${vormik_maintainer_default}" CACHE STRING
  "The Debian package's maintainer, \"Name <address>\" (default: DEBFULLNAME <DEBEMAIL>)")
if(VORMIK_MAINTAINER STREQUAL "")
  message(STATUS "No VORMIK_MAINTAINER (nor DEBFULLNAME and DEBEMAIL): the Debian package cannot be made")
elseif(NOT VORMIK_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
  message(FATAL_ERROR "VORMIK_MAINTAINER must read \"Name <user@domain>\"; it is '${VORMIK_MAINTAINER}'")
endif()

# AppStream names a program by the reversed domain of whoever publishes it: the home page's host,
# or without one the maintainer's mail domain; "vormik" follows unless the domain already begins
# with it below a domain of two or more parts (AppStream wants three parts at least).
set(vormik_id_domain "")
if(VORMIK_HOMEPAGE MATCHES "^https?://([^/:]+)")
  set(vormik_id_domain ${CMAKE_MATCH_1})
elseif(VORMIK_MAINTAINER MATCHES "@([^>]+)>$")
  set(vormik_id_domain ${CMAKE_MATCH_1})
endif()
set(VORMIK_APPSTREAM_ID "")
if(vormik_id_domain)
  string(TOLOWER "${vormik_id_domain}" vormik_id_domain)
  string(REPLACE "." ";" vormik_id_labels "${vormik_id_domain}")
  list(REVERSE vormik_id_labels)
  list(GET vormik_id_labels -1 vormik_id_last)
  list(LENGTH vormik_id_labels vormik_id_parts)
  if(NOT vormik_id_last STREQUAL "vormik" OR vormik_id_parts LESS 3)
    list(APPEND vormik_id_labels vormik)
  endif()
  list(JOIN vormik_id_labels "." VORMIK_APPSTREAM_ID)
else()
  message(STATUS "Neither VORMIK_HOMEPAGE nor VORMIK_MAINTAINER: no AppStream metadata, which needs a domain")
endif()
set(VORMIK_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)

# The metadata's links, each only when the build names the page.
set(VORMIK_METAINFO_LINKS "")
if(VORMIK_HOMEPAGE)
  string(APPEND VORMIK_METAINFO_LINKS "  <url type=\"homepage\">${VORMIK_HOMEPAGE}</url>\n")
endif()
if(VORMIK_SUPPORT_PAGE)
  string(APPEND VORMIK_METAINFO_LINKS "  <url type=\"help\">${VORMIK_SUPPORT_PAGE}</url>\n")
endif()
if(VORMIK_HOMEPAGE)
  # The README's screenshot, as the project's web site serves it.
  string(APPEND VORMIK_METAINFO_LINKS [=[
  <screenshots>
    <screenshot type="default">
      <caption>The main window with a small tree</caption>
      <caption xml:lang="ja">小さなツリーを作ったメイン画面</caption>
      <image type="source" width="820" height="560">]=] "${VORMIK_HOMEPAGE}docs/main-window.png" [=[</image>
    </screenshot>
  </screenshots>
]=])
endif()
# The copyright file's Source field, the same way.
set(VORMIK_COPYRIGHT_SOURCE "")
if(VORMIK_HOMEPAGE)
  set(VORMIK_COPYRIGHT_SOURCE "Source: ${VORMIK_HOMEPAGE}\n")
endif()

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
configure_file(resources/debian/copyright.in ${VORMIK_PACKAGING_DIR}/copyright @ONLY)
if(VORMIK_APPSTREAM_ID)
  set(vormik_metainfo ${VORMIK_PACKAGING_DIR}/${VORMIK_APPSTREAM_ID}.metainfo.xml)
  configure_file(resources/vormik.metainfo.xml.in ${vormik_metainfo} @ONLY)
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Installed programs find Qt and libxml2 where the system keeps them, and carry no RUNPATH.
set_target_properties(vormik vormik-export vormik-import vormik-check-links PROPERTIES INSTALL_RPATH "")
install(TARGETS vormik vormik-export vormik-import vormik-check-links RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the sections Debian's dh_strip removes.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program vormik vormik-export vormik-import vormik-check-links)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
# The program looks here when the files are not beside it (files/ProgramFiles).
install(FILES resources/VORMIK.hlp resources/ReadMe.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vormik)
# lintian would have the ReadMe under /usr/share/doc; the override says why it stays.
install(FILES resources/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME vormik)
install(FILES resources/vormik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/vormik-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vormik.xml)
if(VORMIK_APPSTREAM_ID)
  install(FILES ${vormik_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${VORMIK_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VORMIK_ICON_SIZES)
  install(FILES ${VORMIK_ICON_DIR}/${size}x${size}/vormik.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${VORMIK_PACKAGING_DIR}/vormik.1.gz ${VORMIK_PACKAGING_DIR}/vormik-export.1.gz
  ${VORMIK_PACKAGING_DIR}/vormik-import.1.gz ${VORMIK_PACKAGING_DIR}/vormik-check-links.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VORMIK_PACKAGING_DIR}/copyright ${VORMIK_PACKAGING_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vormik)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vormik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of folding tree menus of links for web pages")
set(CPACK_PACKAGE_VENDOR Kestrune)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# All rights reserved (see the copyright file): Debian's non-free area is where such a package goes.
set(CPACK_DEBIAN_PACKAGE_SECTION non-free/web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORMIK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The ReadMe opens through xdg-open; the window wants a Japanese font, and Qt's own dialogs
# speak Japanese with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk | fonts-japanese-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Vormik is a desktop editor, with a Japanese user interface, for the
collapsible tree menu of links that sits at the side of many Japanese web
sites. Groups and links are arranged in a tree, saved as an XML project
file and exported as one page, classic XHTML or HTML5, in which every
group folds open and shut with a click. Every change can be undone; nodes
are found by name, address, class or ID; browser bookmarks, OPML and JSON
are imported and every link's address is checked. The commands
vormik-export, vormik-import and vormik-check-links do the same from
scripts.

Vormik（ヴォルミク）は、リンク集などのツリー型メニューを
作るための、日本語の画面のエディタです。グループとリンクを
木構造に並べて XML のセーブデータに保存し、グループを
クリックで開閉できる 1 枚のページ（XHTML か HTML5）として
出力します。どの変更も元に戻せ、検索、ブックマークの
取り込み、リンク切れのチェックもできます。コマンド
vormik-export・vormik-import・vormik-check-links で、
スクリプトからも使えます。]=])
include(CPack)
