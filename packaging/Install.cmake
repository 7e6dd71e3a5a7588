# What `cmake --install` puts into the prefix, and the Debian package built from it:
#   bin/nuvio                 launcher: installs the user's data on first use, then starts nuvio
#   lib/nuvio/                the program and the hive tool
#   share/nuvio/data/         the default installation; share/nuvio/install-user copies it
#   share/applications/, share/icons/   the menu entry and its icon
configure_file(${CMAKE_SOURCE_DIR}/packaging/nuvio-launcher.in ${CMAKE_BINARY_DIR}/packaging/nuvio @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/nuvio DESTINATION bin)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/install-user DESTINATION ${NUVIO_SHARE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${NUVIO_SHARE_DIR}/data PATTERN "*.qrc" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/nuvio.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/nuvio.png DESTINATION share/icons/hicolor/64x64/apps)

set(CPACK_PACKAGE_NAME "nuvio")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "nuvio <nuvio@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small news-feed reader with net radio and web search")
set(CPACK_PACKAGE_DESCRIPTION "nuvio shows the headlines of the RSS feeds you choose in a narrow window,
marks the new ones, alerts you with the page or a sound, keeps a net-radio page
playing, and hides in the tray. Its interface is Danish, with English, Swedish,
Norwegian and German texts.")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Loaded at run time, so the library scan cannot see them: the X11 platform plugin, the
# browser's helper process and its resources, the sound back end, and the tray host's
# icon themes are the desktop's own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6webenginecore6-bin, libqt6webengine6-data, libqt6multimedia6")
# The radio's sound reaches the speakers only through a PulseAudio-compatible server.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
include(CPack)
