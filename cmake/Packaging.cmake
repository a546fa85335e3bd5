# Installation and the Debian package. The programs go to bin/, the suite's own shared libraries
# to a private folder lib/tachy/ (their names, such as libutil and libsound, are too common for
# the system's library folder), the data to share/tachy/ where the programs look for it, and
# the desktop entries, icons, AppStream metadata, manual pages and copyright to their places.
# `make package` builds the package with CPack; its dependencies come from dpkg-shlibdeps.

set(TACHY_PRIVATE_LIBDIR lib/tachy)
set(TACHY_SHARED_LIBRARIES util search picturedec display adpcmdec sound skinres skinctl)
set(TACHY_PROGRAMS tachyPlayer TachySetup tachyWizard)

set_target_properties(${TACHY_SHARED_LIBRARIES} PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(${TACHY_PROGRAMS} tachy PROPERTIES INSTALL_RPATH "$ORIGIN/../${TACHY_PRIVATE_LIBDIR}")

install(TARGETS ${TACHY_SHARED_LIBRARIES} LIBRARY DESTINATION ${TACHY_PRIVATE_LIBDIR} NAMELINK_SKIP)
install(TARGETS ${TACHY_PROGRAMS} RUNTIME DESTINATION bin)
install(DIRECTORY data/ DESTINATION share/tachy)

set(_packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${_packaging}/org.tachy.tachyPlayer.desktop ${_packaging}/org.tachy.TachySetup.desktop
        DESTINATION share/applications)
install(FILES ${_packaging}/org.tachy.tachyPlayer.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${_packaging}/icons/ DESTINATION share/icons)

# Manual pages and the change log are installed compressed, as Debian wants them.
set(_compressed)
foreach(_page tachyPlayer.1 TachySetup.1 tachyWizard.1 tachy.1)
    set(_out ${CMAKE_BINARY_DIR}/packaging/${_page}.gz)
    add_custom_command(OUTPUT ${_out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND gzip -9 -n -c ${_packaging}/man/${_page} > ${_out}
        DEPENDS ${_packaging}/man/${_page} VERBATIM)
    list(APPEND _compressed ${_out})
    install(FILES ${_out} DESTINATION share/man/man1)
endforeach()
set(_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${_changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9 -n -c ${_packaging}/changelog > ${_changelog}
    DEPENDS ${_packaging}/changelog VERBATIM)
add_custom_target(packaging_files ALL DEPENDS ${_compressed} ${_changelog})
install(FILES ${_changelog} ${_packaging}/copyright DESTINATION share/doc/tachy)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tachy)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tachy developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dash camera card viewer, settings editor and command-line tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Tachy opens the memory card of a car dash camera and plays its
recordings with every camera in step and with sound, shows where the car
was on a map, how fast it went and what the G-sensor felt. It saves
pictures and copies of recordings, prints a report, repairs recordings cut
short, deletes recordings and formats the card as FAT32 while keeping the
recorder's settings file.
.
The package holds the viewer (tachyPlayer), the recorder settings editor
(TachySetup), the first-run wizard and the command-line tool tachy for
batch work: listing cards, exporting tracks and videos, finding incidents
and checking settings.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tachy developers <tachy-dev@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps looks for the suite's own libraries in the package's private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/usr/${TACHY_PRIVATE_LIBDIR})
# What the programs run or load by name rather than link: the windowing plugins, the FAT32
# formatter and the image tools for formatting cards, and UDisks2 for cards without root.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, dosfstools, mtools")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udisks2, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
