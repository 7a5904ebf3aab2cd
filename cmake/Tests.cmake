# Unit tests beside the code, and on the native build the scenarios that run
# the real programs natively and, with Tolvane.exe cross-built beside this
# build, under Wine. Every scenario row is a ctest test of its own; the labels:
#   quick      unit tests and native rows: the check to run after each change
#   wine       everything under Wine (with the prefix and Tolvane.exe it needs)
#   windows    the checks of Tolvane.exe itself: imports, size, package
#   memcheck   six native rows with the program under valgrind
#   demo       scripts/demo, the README's first command
if(CMAKE_CROSSCOMPILING)
  # GoogleTest from Debian's sources, built for Windows; the win32 thread
  # model has no std::mutex for its Notification.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/cmake/gtest-notification.h)
  set(TOLVANE_GTEST gtest gtest_main)
  add_executable(interpreter_standin tests/interpreter_standin.cc)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
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
set_tests_properties(unit PROPERTIES LABELS quick)

option(TOLVANE_WINDOWS "Cross-build Tolvane.exe and run its tests under Wine" ON)
set(TOLVANE_WINE_PREFIX ${CMAKE_SOURCE_DIR}/out/wineprefix CACHE PATH
    "The Wine prefix of every test and benchmark")
set(windows ${CMAKE_BINARY_DIR}/windows)
set(prefix ${TOLVANE_WINE_PREFIX})
if(TOLVANE_WINDOWS)
  include(ExternalProject)
  ExternalProject_Add(windows SOURCE_DIR ${CMAKE_SOURCE_DIR} BINARY_DIR ${windows} BUILD_ALWAYS ON
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND "" USES_TERMINAL_BUILD ON)
endif()

# A sketch built by the builder of the Arduino IDE 1.6.6 to 1.8, and the ELF
# files of an Uno R4 (ARM), Xtensa chips and a RISC-V one, for the rows: build
# outputs, there before any test runs.
set(arduino ${CMAKE_BINARY_DIR}/arduino)
set(boards ${CMAKE_BINARY_DIR}/boards)
add_custom_command(OUTPUT ${arduino}/Blink.cpp.elf ${boards}/uno-r4.elf ${boards}/esp32s3.elf
  COMMAND examples/arduino-blink/build-elf ${arduino} >${CMAKE_BINARY_DIR}/arduino.log 2>&1
  COMMAND examples/boards/build-elf ${boards}
  DEPENDS examples/arduino-blink/build-elf examples/arduino-blink/Blink.ino
          examples/boards/build-elf examples/boards/Blink.ino examples/boards/blink.S
          examples/boards/blink-rv32.S
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Building Blink with arduino-builder (log: arduino.log), and for other boards" VERBATIM)
add_custom_target(arduino_blink DEPENDS ${arduino}/Blink.cpp.elf)

add_executable(tolvane_scenarios tests/scenario_test.cc)
target_link_libraries(tolvane_scenarios PRIVATE ${TOLVANE_GTEST})
target_compile_definitions(tolvane_scenarios PRIVATE TOLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  TOLVANE_NATIVE_PROGRAM="$<TARGET_FILE:tolvane>" TOLVANE_WINDOWS_DIR="${windows}"
  TOLVANE_WINE_PREFIX="${prefix}" TOLVANE_ARDUINO_ELF="${arduino}/Blink.cpp.elf"
  TOLVANE_IDE_BUILD="${arduino}/build" TOLVANE_BOARDS_DIR="${boards}")
# The rows name their fields. The table compiles fastest unoptimised and
# without debug information: a row's edit costs the least.
set_target_properties(tolvane_scenarios PROPERTIES CXX_STANDARD 20)
target_compile_options(tolvane_scenarios PRIVATE -O0 -g0)
add_dependencies(tolvane_scenarios tolvane arduino_blink)

gtest_discover_tests(tolvane_scenarios TEST_FILTER "native/*" DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  PROPERTIES LABELS quick TIMEOUT 120)
# A few of the same runs with the program under valgrind.
gtest_discover_tests(tolvane_scenarios TEST_PREFIX "memcheck:" DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  TEST_FILTER "native/*/typical:native/*/help:native/*/ide_2_before_the_first_verify:native/*/a_megabyte*:native/*/ide_2_3*:native/*/build_options_over*"
  PROPERTIES LABELS memcheck TIMEOUT 300 ENVIRONMENT
  "TOLVANE_TEST_WRAPPER=valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite")
# The README's first command: the sample's script and both listings appear.
add_test(NAME demo COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/demo)
set_tests_properties(demo PROPERTIES LABELS demo
  FAIL_REGULAR_EXPRESSION "MISSING;Exit status: [^0]")

if(TOLVANE_WINDOWS)
  # Everything under Wine shares one prefix, made by the first test that needs
  # it; the rows share its drive C:, so they run one at a time.
  add_test(NAME wine_prefix COMMAND tests/make-wine-prefix ${prefix} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS wine)
  add_test(NAME unit_windows COMMAND env WINEPREFIX=${prefix} WINEDEBUG=-all wine ${windows}/tolvane_unit_tests.exe)
  set_tests_properties(unit_windows PROPERTIES FIXTURES_REQUIRED wine LABELS wine)
  gtest_discover_tests(tolvane_scenarios TEST_FILTER "wine/*" DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
    PROPERTIES LABELS wine TIMEOUT 120 FIXTURES_REQUIRED wine RESOURCE_LOCK wine_drive_c)
  # Tolvane.exe run by arduino-builder's hook with the line that it names, under Wine.
  add_executable(tolvane_hook_test tests/hook_test.cc)
  target_link_libraries(tolvane_hook_test PRIVATE ${TOLVANE_GTEST})
  add_test(NAME hook COMMAND tolvane_hook_test)
  set_tests_properties(hook PROPERTIES LABELS wine FIXTURES_REQUIRED wine RESOURCE_LOCK wine_drive_c
    ENVIRONMENT "WINEPREFIX=${prefix};TOLVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR};TOLVANE_EXE=${windows}/Tolvane.exe")
  add_test(NAME windows_imports COMMAND tests/check-imports ${windows}/Tolvane.exe WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  # The program stays small: at most 256 KiB.
  add_test(NAME windows_size COMMAND sh -c "test $(stat -c %s ${windows}/Tolvane.exe) -le 262144")
  add_test(NAME windows_package COMMAND ${CMAKE_COMMAND} -DDIR=${windows}
           -DVERSION=${PROJECT_VERSION} "-DDESCRIPTION=${PROJECT_DESCRIPTION}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckPackage.cmake)
  set_tests_properties(windows_imports windows_size windows_package PROPERTIES LABELS windows)
endif()
