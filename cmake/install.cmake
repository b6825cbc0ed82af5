# Installing the game like a Linux game (`cmake --install`), and the Debian package
# built from that install by CPack (`make deb`):
#   <prefix>/games/tavrolith                          the binary
#   <prefix>/share/games/tavrolith/Data/              the read-only game data
#   <prefix>/share/applications/tavrolith.desktop     the menu entry
#   <prefix>/share/icons/hicolor/<n>x<n>/apps/        the icons
#   <prefix>/share/metainfo/tavrolith.metainfo.xml    what software centres show
#   <prefix>/share/man/man6/tavrolith.6.gz            the manual page
#   <prefix>/share/doc/tavrolith/                     copyright and changelog
# The binary finds its data as <its folder>/../share/games/tavrolith, so any prefix
# works. Only the game is installed; tools, tests and benchmarks stay in the build.
if(NOT TARGET tavrolith OR NOT TAV_BUILD_DATA)
  return()
endif()

set(TAV_VERSION 1.0.0)
set(tav_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(tav_gzipped ${CMAKE_BINARY_DIR}/packaging)

# Debian wants the manual page and the changelog compressed, without a time stamp
# in the gzip header, so that the package is the same on every build.
foreach(pair "tavrolith.6|tavrolith.6.gz" "changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 tav_source)
  list(GET pair 1 tav_output)
  add_custom_command(
    OUTPUT ${tav_gzipped}/${tav_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tav_gzipped}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${tav_packaging}/${tav_source}
            ${tav_gzipped}/${tav_output}
    DEPENDS ${tav_packaging}/${tav_source}
    VERBATIM)
  list(APPEND tav_gzipped_files ${tav_gzipped}/${tav_output})
endforeach()
add_custom_target(packaging-files ALL DEPENDS ${tav_gzipped_files})

# Debian builds its binaries with immediate binding, so that the relocation table can
# be made read-only before the game runs.
target_link_options(tavrolith PRIVATE -Wl,-z,relro,-z,now)

install(TARGETS tavrolith RUNTIME DESTINATION games COMPONENT game)
# The data tree as the build left it, without the player's files of a game that was
# played from the build folder.
install(DIRECTORY ${TAV_DATA_DIR} DESTINATION share/games/tavrolith COMPONENT game
        PATTERN "Hiscore.dat" EXCLUDE
        PATTERN "Config.ini" EXCLUDE
        PATTERN "Last.dat" EXCLUDE
        PATTERN "Window.ini" EXCLUDE
        PATTERN "*.tmp*" EXCLUDE)
install(FILES ${tav_packaging}/tavrolith.desktop DESTINATION share/applications COMPONENT game)
install(FILES ${tav_packaging}/tavrolith.metainfo.xml DESTINATION share/metainfo
        COMPONENT game)
foreach(size 16 32 48 64 128 256)
  install(FILES ${TAV_ICONS_DIR}/${size}x${size}/apps/tavrolith.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT game)
endforeach()
install(FILES ${tav_gzipped}/tavrolith.6.gz DESTINATION share/man/man6 COMPONENT game)
install(FILES ${tav_packaging}/copyright ${tav_gzipped}/changelog.gz
        DESTINATION share/doc/tavrolith COMPONENT game)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrolith)
set(CPACK_PACKAGE_VERSION ${TAV_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tavrolith developers")
set(CPACK_PACKAGE_CONTACT "Tavrolith developers <developers@tavrolith.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL game)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arrow puzzle: turn coloured arrows into exploding lines")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavrolith is a single-player puzzle on a board of ten by ten coloured
arrows. Turn them with the mouse so that three or more compatible arrows
point along their line: the line explodes, bombs and lightning take their
neighbours with them, columns fall and refill, chains score and magic
symbols pay bonuses.
.
Two modes (Classic Mode and Time Attack), sixty levels, high scores with
player names, sound and music options; full screen or a resizable window.")

include(CPack)
