# Where `cmake --install` and the Debian package put the game:
#   bin/pondquest, share/pondquest/ (pictures, songs, effects, window icon, demos/),
#   share/applications/, share/icons/hicolor/<size>/apps/, share/metainfo/, share/man/man6/.
include(GNUInstallDirs)

set(PONDQUEST_APPSTREAM_ID "io.github.pondquest.pondquest" CACHE STRING "AppStream component id")
set(PONDQUEST_SCREENSHOT_URL "https://raw.githubusercontent.com/pondquest/pondquest/main/docs/screenshots"
  CACHE STRING "Where software centres fetch the README's screenshots from")
set(PONDQUEST_RELEASE_DATE "2026-12-08")
set(PONDQUEST_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/pondquest)

# The program finds its data from its own folder, so an install moved as a whole (a DESTDIR,
# another prefix) still finds it.
file(RELATIVE_PATH PONDQUEST_DATA_FROM_PROGRAM
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${PONDQUEST_INSTALL_DATA_DIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/CDataFolder.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS PONDQUEST_DATA_FROM_PROGRAM="${PONDQUEST_DATA_FROM_PROGRAM}")
if(IS_ABSOLUTE ${CMAKE_INSTALL_DATADIR})
  set(PONDQUEST_MAN_DATA_DIR ${PONDQUEST_INSTALL_DATA_DIR})
else()
  set(PONDQUEST_MAN_DATA_DIR ${CMAKE_INSTALL_PREFIX}/${PONDQUEST_INSTALL_DATA_DIR})
endif()

set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
configure_file(${CMAKE_SOURCE_DIR}/dist/pondquest.metainfo.xml.in
  ${DIST_DIR}/${PONDQUEST_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/pondquest.6.in ${DIST_DIR}/pondquest.6 @ONLY)
add_custom_command(OUTPUT ${DIST_DIR}/pondquest.6.gz
  COMMAND gzip -9nc ${DIST_DIR}/pondquest.6 > ${DIST_DIR}/pondquest.6.gz
  DEPENDS ${DIST_DIR}/pondquest.6)
add_custom_target(manual ALL DEPENDS ${DIST_DIR}/pondquest.6.gz)

install(TARGETS pondquest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(name ${PONDQUEST_PICTURES} ${PONDQUEST_SOUNDS})
  if(name MATCHES "\\.png$")
    string(REGEX REPLACE "^pondquest_([0-9]+)\\.png$" "\\1" size ${name})
    install(FILES ${GAME_DIR}/${name} RENAME pondquest.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  else()
    install(FILES ${GAME_DIR}/${name} DESTINATION ${PONDQUEST_INSTALL_DATA_DIR})
  endif()
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/demos DESTINATION ${PONDQUEST_INSTALL_DATA_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/pondquest.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DIST_DIR}/${PONDQUEST_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${DIST_DIR}/pondquest.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# Debian wants the licence as share/doc/<package>/copyright; it covers the generated assets too.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE RENAME copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pondquest)

# cpack -G DEB: the libraries' packages from dpkg-shlibdeps, and what the game loads at run time
# without linking it (a General MIDI soundfont, the fonts of the text screens).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pondquest)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pondquest developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person 3-D game of a duckling in a maze and a square of fire")
set(CPACK_PACKAGE_DESCRIPTION "A small first-person 3-D game seen through the eyes of a duckling.
Level one is a maze of plant walls under a water surface, where the duckling's
energy runs down until it finds food or the Wise Old Man; level two is a square
of fire ground where twenty cougars circle ever faster for 90 seconds.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
