# Helpers shared by every folder of the build: compiler settings for our own
# targets, unit test programs, and fuzz targets.

function(setup_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SETUP_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# setup_library(NAME SOURCES... [LIBS ...]) - a static library of ours.
function(setup_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  setup_target_defaults(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

function(setup_enable_googletest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    message(FATAL_ERROR "GoogleTest sources missing: run scripts/bootstrap.sh")
  endif()
endfunction()

# Windows test programs run under Wine, in a prefix of their own inside the
# build tree. The prefix is made afresh by a fixture at the start of each run.
function(setup_enable_wine_tests)
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh ${prefix}
      PARENT_SCOPE)
  set(SETUP_WINE_PREFIX ${prefix} PARENT_SCOPE)
  add_test(NAME wine_prefix_create COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh create
                                           ${prefix})
  set_tests_properties(wine_prefix_create PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
  add_test(NAME wine_prefix_stop COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh stop
                                         ${prefix})
  set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)

  # A virtual screen, with a Wine prefix of its own, for the tests that show
  # windows (setup_require_display).
  set(display_state ${CMAKE_BINARY_DIR}/xvfb-display)
  set(display_prefix ${CMAKE_BINARY_DIR}/wineprefix-display)
  set(SETUP_DISPLAY_STATE ${display_state} PARENT_SCOPE)
  add_test(NAME xvfb_start COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh start ${display_state}
                                   ${display_prefix})
  set_tests_properties(xvfb_start PROPERTIES FIXTURES_SETUP xvfb TIMEOUT 300)
  add_test(NAME xvfb_stop COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh stop ${display_state}
                                  ${display_prefix})
  set_tests_properties(xvfb_stop PROPERTIES FIXTURES_CLEANUP xvfb)
endfunction()

# setup_require_display(TEST...) - the tests run on the Xvfb fixture's
# screen, in its Wine prefix. Call it in the folder that adds the tests.
function(setup_require_display)
  if(NOT SETUP_DISPLAY_STATE)
    message(FATAL_ERROR "setup_require_display needs the Wine tests of the Windows build")
  endif()
  foreach(test ${ARGN})
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED xvfb)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
                 SETUP_DISPLAY_FILE=${SETUP_DISPLAY_STATE})
  endforeach()
endfunction()

# setup_add_test(NAME SOURCES... [LIBS ...] [LABELS ...] [TIMEOUT s])
# One test program per module; CTest runs it once as a whole.
function(setup_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  setup_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
  if(SETUP_WINE_PREFIX)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()

# setup_add_fuzzer(NAME SOURCES... [LIBS ...]) - a libFuzzer target. In the
# fuzz build CTest replays its regression corpus (fuzz/corpus/NAME) and then
# explores for a few seconds.
function(setup_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SETUP_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  setup_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  add_test(NAME ${name}
           COMMAND sh ${PROJECT_SOURCE_DIR}/fuzz/run-fuzzer.sh $<TARGET_FILE:${name}> ${corpus}
                   ${CMAKE_CURRENT_BINARY_DIR}/${name}-work)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()
