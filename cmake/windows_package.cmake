# The Windows game folder and its zip, for the cross-build: the Data\ tree is the
# native build's (made by the native tools from assets/), copied beside
# Tavrolith.exe; the zip holds the folder as a player unpacks it; and a check that
# the program imports nothing but DLLs every Windows has and carries its manifest.
set(TAV_NATIVE_BUILD_DIR "${CMAKE_SOURCE_DIR}/build" CACHE PATH
    "The native build whose game data the Windows game folder gets")
set(TAV_NATIVE_DATA_DIR ${TAV_NATIVE_BUILD_DIR}/game/Data)
set(TAV_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/Tavrolith-win64.zip)

# The files the game ships with; the player's own files are never copied.
set(TAV_SHIPPED_DATA data.pkg data@2x.pkg Textures.ini Levels.ini Audio)

add_custom_target(windows_data ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${TAV_NATIVE_DATA_DIR} -DDESTINATION=${TAV_DATA_DIR}
          "-DITEMS=${TAV_SHIPPED_DATA}" -P ${CMAKE_SOURCE_DIR}/cmake/copy_game_data.cmake
  COMMENT "Copying the game data from ${TAV_NATIVE_DATA_DIR}"
  VERBATIM)

add_custom_target(windows_zip ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/zip/Tavrolith/Data
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavrolith_win> ${CMAKE_BINARY_DIR}/zip/Tavrolith/
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${TAV_DATA_DIR} ${CMAKE_BINARY_DIR}/zip/Tavrolith/Data
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TAV_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
          ${CMAKE_COMMAND} -E tar cf ${TAV_WINDOWS_ZIP} --format=zip Tavrolith
  COMMENT "Packing ${TAV_WINDOWS_ZIP}"
  VERBATIM)
add_dependencies(windows_zip windows_data tavrolith_win)

add_test(NAME win_imports_only_system_dlls
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e_win/check_imports.sh $<TARGET_FILE:tavrolith_win>)
set_tests_properties(win_imports_only_system_dlls PROPERTIES LABELS windows)
add_test(NAME win_manifest_embedded
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/e2e_win/check_manifest.py
          $<TARGET_FILE:tavrolith_win>)
set_tests_properties(win_manifest_embedded PROPERTIES LABELS windows)
