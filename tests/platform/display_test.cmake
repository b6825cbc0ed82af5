# tav_add_display_test(NAME SOURCES a.cpp LIBS lib1 [SCREENS 800x600x16 ...]
#                      [ENVIRONMENT VAR=value ...])
# Builds a GoogleTest binary into build/tests/ that needs a display, and registers
# one CTest test per screen that runs the whole binary inside its own virtual X
# server (tests/support/run_in_xvfb.sh, where Xvfb picks a free display number).
# The tests share a lock so that only one such window is open at a time. Leak checking is off in these tests: the X, GL and D-Bus
# libraries that SDL loads and unloads at run time keep allocations of their own
# that the sanitizer can no longer attribute; memory errors are still caught, and our
# own code is leak-checked by the headless tests.
include_guard(GLOBAL)

function(tav_add_display_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;SCREENS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TAV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TAV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(NOT ARG_SCREENS)
    set(ARG_SCREENS 800x600x16)
  endif()
  foreach(screen ${ARG_SCREENS})
    add_test(NAME ${name}_${screen}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/run_in_xvfb.sh ${screen} $<TARGET_FILE:${name}>
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set_tests_properties(${name}_${screen} PROPERTIES
      LABELS display
      RESOURCE_LOCK xvfb
      TIMEOUT 300
      ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1;${ARG_ENVIRONMENT}")
  endforeach()
endfunction()
