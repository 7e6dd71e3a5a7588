# What `cmake --install` puts into the prefix, and the Debian package built from it:
#   bin/nuvio                 launcher: installs the user's data on first use, then starts nuvio
#   lib/nuvio/                the program and the hive tool
#   share/nuvio/data/         the default installation; share/nuvio/install-user copies it
#   share/applications/, share/icons/hicolor/, share/metainfo/   menu entry, icons, AppStream
#   share/man/man1/, share/doc/nuvio/, share/lintian/overrides/  manual, copyright, changelog
set(NUVIO_MAINTAINER "nuvio maintainers <maintainers@users.noreply.c-seed-e1d5ff6a.example>"
    CACHE STRING "The package's Maintainer and the changelog's signer")
set(NUVIO_APP_ID "example.c_seed_e1d5ff6a.nuvio" CACHE STRING "The AppStream component id")

set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright ${packaging_out}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${packaging_out}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/nuvio.metainfo.xml
               ${packaging_out}/${NUVIO_APP_ID}.metainfo.xml @ONLY)
# Debian wants the manual and the changelog compressed, without a time stamp in the gzip
# header, so that the same sources give the same package.
foreach(compressed IN ITEMS nuvio.1 changelog)
  if(compressed STREQUAL "changelog")
    set(source ${packaging_out}/changelog)
  else()
    set(source ${CMAKE_SOURCE_DIR}/packaging/${compressed})
  endif()
  add_custom_command(OUTPUT ${packaging_out}/${compressed}.gz
                     COMMAND gzip -9nc ${source} > ${packaging_out}/${compressed}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND compressed_docs ${packaging_out}/${compressed}.gz)
endforeach()
add_custom_target(nuvio_docs ALL DEPENDS ${compressed_docs})

configure_file(${CMAKE_SOURCE_DIR}/packaging/nuvio-launcher.in ${CMAKE_BINARY_DIR}/packaging/nuvio @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/nuvio DESTINATION bin)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/install-user DESTINATION ${NUVIO_SHARE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${NUVIO_SHARE_DIR}/data PATTERN "*.qrc" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/nuvio.desktop DESTINATION share/applications)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/icons/hicolor/${size}x${size}/nuvio.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/icons/nuvio.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${packaging_out}/${NUVIO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${packaging_out}/nuvio.1.gz DESTINATION share/man/man1)
install(FILES ${packaging_out}/copyright ${packaging_out}/changelog.gz
        DESTINATION share/doc/nuvio)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION share/lintian/overrides
        RENAME nuvio)

set(CPACK_PACKAGE_NAME "nuvio")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${NUVIO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${NUVIO_HOMEPAGE}")
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
# Loaded at run time, so the library scan cannot see them: the X11 platform plugin and the
# browser's resources. The libraries, and the browser's helper process, come from the scan.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6webengine6-data")
# The radio's sound reaches the speakers only through a PulseAudio-compatible server; links
# open in the user's browser through xdg-open; the desktop's proxy settings reach libproxy
# through its plugins (the variables and PAC need none).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "pulseaudio | pipewire-pulse, xdg-utils, libproxy1-plugin-gsettings | libproxy1-plugin-kconfig")
include(CPack)
