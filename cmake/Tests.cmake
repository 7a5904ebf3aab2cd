# Unit tests beside the code, and on the native build the scenarios that run
# the real programs natively and, with Tolvane.exe cross-built beside this
# build, under Wine.
if(CMAKE_CROSSCOMPILING)
  # GoogleTest from Debian's sources, built for Windows; the win32 thread
  # model has no std::mutex for its Notification.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/cmake/gtest-notification.h)
  set(TOLVANE_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(TOLVANE_GTEST GTest::gtest GTest::gtest_main)
endif()
file(GLOB TOLVANE_UNIT_TESTS CONFIGURE_DEPENDS
     src/app/*_test.cc src/platform/*_test.cc src/platform/${TOLVANE_PLATFORM_DIR}/*_test.cc)
add_executable(tolvane_unit_tests ${TOLVANE_UNIT_TESTS})
target_link_libraries(tolvane_unit_tests PRIVATE tolvane_app ${TOLVANE_GTEST})
if(CMAKE_CROSSCOMPILING)
  return()
endif()
add_test(NAME unit COMMAND tolvane_unit_tests)

option(TOLVANE_WINDOWS "Cross-build Tolvane.exe and run its tests under Wine" ON)
set(windows ${CMAKE_BINARY_DIR}/windows)
set(prefix ${CMAKE_BINARY_DIR}/wineprefix)
if(TOLVANE_WINDOWS)
  include(ExternalProject)
  ExternalProject_Add(windows SOURCE_DIR ${CMAKE_SOURCE_DIR} BINARY_DIR ${windows} BUILD_ALWAYS ON
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    INSTALL_COMMAND "" USES_TERMINAL_BUILD ON)
endif()

add_executable(tolvane_scenarios tests/scenario_test.cc)
target_link_libraries(tolvane_scenarios PRIVATE ${TOLVANE_GTEST})
target_compile_definitions(tolvane_scenarios PRIVATE TOLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  TOLVANE_NATIVE_PROGRAM="$<TARGET_FILE:tolvane>" TOLVANE_WINDOWS_DIR="${windows}"
  TOLVANE_WINE_PREFIX="${prefix}" TOLVANE_ARDUINO_ELF="${CMAKE_BINARY_DIR}/arduino/Blink.cpp.elf"
  TOLVANE_IDE_BUILD="${CMAKE_BINARY_DIR}/arduino/build")
# The rows name their fields. GCC 12 at -O3 warns of overlapping copies in
# std::string's operator+ that cannot happen (its bug 105329).
set_target_properties(tolvane_scenarios PROPERTIES CXX_STANDARD 20)
target_compile_options(tolvane_scenarios PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
add_dependencies(tolvane_scenarios tolvane)

# A sketch built by the builder of the Arduino IDE 1.6.6 to 1.8, for the rows.
add_test(NAME arduino_elf COMMAND examples/arduino-blink/build-elf ${CMAKE_BINARY_DIR}/arduino
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
add_test(NAME scenarios COMMAND tolvane_scenarios --gtest_filter=Native/*)
# A few of the same runs with the program under valgrind.
add_test(NAME memcheck COMMAND tolvane_scenarios
  --gtest_filter=Native/*/typical:Native/*/help:Native/*/no_preferences_and_no_build:Native/*/a_megabyte*:Native/*/ide_2_3*:Native/*/build_options_over*)
set_tests_properties(memcheck PROPERTIES ENVIRONMENT
  "TOLVANE_TEST_WRAPPER=valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite")
set_tests_properties(arduino_elf PROPERTIES FIXTURES_SETUP arduino)
set_tests_properties(scenarios memcheck PROPERTIES FIXTURES_REQUIRED arduino)
# The README's first command: the sample's script and both listings appear.
add_test(NAME demo COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/demo)
set_tests_properties(demo PROPERTIES FAIL_REGULAR_EXPRESSION "MISSING;Exit status: [^0]")

if(TOLVANE_WINDOWS)
  # Everything under Wine shares one prefix, so those tests run one at a time.
  add_test(NAME wine_prefix COMMAND tests/make-wine-prefix ${prefix} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  add_test(NAME unit_windows COMMAND env WINEPREFIX=${prefix} WINEDEBUG=-all wine ${windows}/tolvane_unit_tests.exe)
  add_test(NAME scenarios_wine COMMAND tolvane_scenarios --gtest_filter=Wine/*)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(unit_windows scenarios_wine PROPERTIES FIXTURES_REQUIRED "wine;arduino" RESOURCE_LOCK wine)
  # Tolvane.exe run by arduino-builder's hook with the README's line, under Wine.
  add_executable(tolvane_hook_test tests/hook_test.cc)
  target_link_libraries(tolvane_hook_test PRIVATE ${TOLVANE_GTEST})
  add_test(NAME hook COMMAND tolvane_hook_test)
  set_tests_properties(hook PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine ENVIRONMENT
    "WINEPREFIX=${prefix};TOLVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR};TOLVANE_EXE=${windows}/Tolvane.exe")
  add_test(NAME windows_imports COMMAND tests/check-imports ${windows}/Tolvane.exe WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  # The program stays small: at most 256 KiB.
  add_test(NAME windows_size COMMAND sh -c "test $(stat -c %s ${windows}/Tolvane.exe) -le 262144")
  add_test(NAME windows_package COMMAND ${CMAKE_COMMAND} -DDIR=${windows}
           -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/CheckPackage.cmake)
endif()
