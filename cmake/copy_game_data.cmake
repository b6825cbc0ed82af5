# Copies the listed items of the game's Data folder (files or folders) from SOURCE
# to DESTINATION, failing clearly when the native build has not made them.
#   cmake -DSOURCE=... -DDESTINATION=... -DITEMS=a;b -P copy_game_data.cmake
foreach(item ${ITEMS})
  if(NOT EXISTS ${SOURCE}/${item})
    message(FATAL_ERROR "${SOURCE}/${item} is missing: build the native game first (make build)")
  endif()
  if(IS_DIRECTORY ${SOURCE}/${item})
    file(REMOVE_RECURSE ${DESTINATION}/${item})
    file(COPY ${SOURCE}/${item} DESTINATION ${DESTINATION})
  else()
    file(COPY_FILE ${SOURCE}/${item} ${DESTINATION}/${item} ONLY_IF_DIFFERENT)
  endif()
endforeach()
