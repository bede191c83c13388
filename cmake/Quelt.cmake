# SPDX-License-Identifier: GPL-3.0-or-later
# quelt_core_area(NAME SOURCES ... [DEPS ...]): one static library per core area, so that an
# area can be built and tested alone. Everything in src/ is included from the src/ root.
function(quelt_core_area name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(quelt_core_${name} STATIC ${A_SOURCES})
  target_include_directories(quelt_core_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quelt_core_${name} PUBLIC ${A_DEPS} Threads::Threads)
  set_target_properties(quelt_core_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_definitions(quelt_core_${name} PRIVATE
    QUELT_SOURCE_DATA_DIR="${QUELT_SOURCE_DATA_DIR}"
    QUELT_BUILD_DATA_DIR="${QUELT_BUILD_DATA_DIR}"
    QUELT_INSTALL_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/quelt")
endfunction()

# The sanitizer settings every test runs with: leaks are reported, except the third-party
# ones the suppressions file names (each with its reason). Programs a test starts inherit them.
set(QUELT_TEST_SANITIZER_ENV
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/leak-suppressions.txt:print_suppressions=0")

# quelt_gtest(NAME SOURCES ... LIBS ...): one GoogleTest executable, registered with CTest.
function(quelt_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} quelt_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUELT_TEST_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    QUELT_CLI_PATH="$<TARGET_FILE:quelt-cli>"
    QUELT_SOURCE_DATA_DIR="${QUELT_SOURCE_DATA_DIR}"
    QUELT_BUILD_DATA_DIR="${QUELT_BUILD_DATA_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  # Every discovered case runs without a sound card or a display and with the leak check,
  # under plain ctest too. gtest_discover_tests re-splits its PROPERTIES at every semicolon,
  # whatever the escaping, so a multi-variable ENVIRONMENT cannot pass through it: a file
  # that CTest reads after the discovered cases sets it on the list of cases instead.
  set(environment_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${environment_file}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT\n"
    "    \"SDL_AUDIODRIVER=dummy;QT_QPA_PLATFORM=offscreen;${QUELT_TEST_SANITIZER_ENV}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${environment_file}")
endfunction()

# Shared test helpers (scratch folders, media made with ffmpeg, running quelt-cli, fixture servers).
function(quelt_test_support)
  if(NOT TARGET quelt_test_support)
    add_library(quelt_test_support STATIC
      ${PROJECT_SOURCE_DIR}/tests/support/fixtures.cpp
      ${PROJECT_SOURCE_DIR}/tests/support/disc_images.cpp
      ${PROJECT_SOURCE_DIR}/tests/support/cli_runner.cpp
      ${PROJECT_SOURCE_DIR}/tests/support/fixture_server.cpp
      ${PROJECT_SOURCE_DIR}/tests/support/http_server.cpp)
    target_include_directories(quelt_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
    target_compile_definitions(quelt_test_support PRIVATE QUELT_CLI_PATH="$<TARGET_FILE:quelt-cli>"
      QUELT_TEST_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
  endif()
endfunction()
