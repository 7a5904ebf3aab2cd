# Unit tests beside the code, helper programs for the tests, and, on the
# native build, the scenarios that run the real programs natively and under
# Wine.

if(CMAKE_CROSSCOMPILING)
  # GoogleTest from Debian's sources, built for Windows.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The win32 thread model has no std::mutex for GoogleTest's Notification.
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/cmake/gtest-notification.h)
  set(TOLVANE_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(TOLVANE_GTEST GTest::gtest GTest::gtest_main)
endif()

# Unit tests of the portable code and of this platform's layer.
file(GLOB TOLVANE_UNIT_TESTS CONFIGURE_DEPENDS
     src/app/*_test.cc src/platform/*_test.cc src/platform/${TOLVANE_PLATFORM_DIR}/*_test.cc)
add_executable(tolvane_unit_tests ${TOLVANE_UNIT_TESTS})
target_link_libraries(tolvane_unit_tests PRIVATE tolvane_app ${TOLVANE_GTEST})

# Small programs over the platform layer that the tests run as processes.
file(GLOB TOLVANE_PROBES CONFIGURE_DEPENDS
     tests/probes/*.cc tests/probes/${TOLVANE_PLATFORM_DIR}/*.cc)
foreach(probe ${TOLVANE_PROBES})
  get_filename_component(name ${probe} NAME_WE)
  add_executable(${name} ${probe})
  target_link_libraries(${name} PRIVATE tolvane_platform)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/probes)
endforeach()

if(CMAKE_CROSSCOMPILING)
  return()
endif()

add_test(NAME unit COMMAND tolvane_unit_tests)

# --- The Windows build, cross-compiled beside this one -----------------------
option(TOLVANE_WINDOWS "Cross-build Tolvane.exe and run its tests under Wine" ON)
set(TOLVANE_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(TOLVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TOLVANE_ARDUINO_DIR ${CMAKE_BINARY_DIR}/arduino-blink)
if(TOLVANE_WINDOWS)
  include(ExternalProject)
  ExternalProject_Add(windows
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${TOLVANE_WINDOWS_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
endif()

# --- Scenarios: the real programs on real files -----------------------------
file(GLOB TOLVANE_SCENARIOS CONFIGURE_DEPENDS tests/*.cc)
add_executable(tolvane_scenarios ${TOLVANE_SCENARIOS})
target_link_libraries(tolvane_scenarios PRIVATE ${TOLVANE_GTEST})
target_include_directories(tolvane_scenarios PRIVATE tests)
target_compile_definitions(tolvane_scenarios PRIVATE
  TOLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  TOLVANE_NATIVE_PROGRAM="$<TARGET_FILE:tolvane>"
  TOLVANE_NATIVE_PROBES="${CMAKE_BINARY_DIR}/probes"
  TOLVANE_WINDOWS_DIR="${TOLVANE_WINDOWS_DIR}"
  TOLVANE_WINE_PREFIX="${TOLVANE_WINE_PREFIX}"
  TOLVANE_ARDUINO_ELF="${TOLVANE_ARDUINO_DIR}/Blink.cpp.elf")
add_dependencies(tolvane_scenarios tolvane)
if(TOLVANE_PROBES)
  foreach(probe ${TOLVANE_PROBES})
    get_filename_component(name ${probe} NAME_WE)
    add_dependencies(tolvane_scenarios ${name})
  endforeach()
endif()

# A sketch built from the Arduino core as the IDE builds it, for the scenario
# that runs on a real build.
add_test(NAME arduino_elf
  COMMAND ${CMAKE_SOURCE_DIR}/examples/arduino-blink/build-elf ${TOLVANE_ARDUINO_DIR})
set_tests_properties(arduino_elf PROPERTIES FIXTURES_SETUP arduino)

add_test(NAME scenarios_native COMMAND tolvane_scenarios --gtest_filter=Native/*)
set_tests_properties(scenarios_native PROPERTIES FIXTURES_REQUIRED arduino)

# The README's first command: the sample's script and both listings appear.
add_test(NAME demo COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/demo)
set_tests_properties(demo PROPERTIES FAIL_REGULAR_EXPRESSION "MISSING;Exit status: [^0]")

if(NOT TOLVANE_WINDOWS)
  return()
endif()

# Everything under Wine shares one prefix and its drive C:, so those tests
# run one at a time after the prefix has been made.
add_test(NAME wine_prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/make-wine-prefix ${TOLVANE_WINE_PREFIX})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
add_test(NAME unit_windows
  COMMAND ${CMAKE_SOURCE_DIR}/tests/run-under-wine ${TOLVANE_WINE_PREFIX}
          ${TOLVANE_WINDOWS_DIR}/tolvane_unit_tests.exe)
add_test(NAME scenarios_wine COMMAND tolvane_scenarios --gtest_filter=Wine/*)
set_tests_properties(unit_windows PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine)
add_test(NAME windows_imports
  COMMAND ${CMAKE_SOURCE_DIR}/tests/check-imports ${TOLVANE_WINDOWS_DIR}/Tolvane.exe)
set_tests_properties(scenarios_wine PROPERTIES FIXTURES_REQUIRED "wine;arduino" RESOURCE_LOCK wine)
set_tests_properties(unit_windows PROPERTIES SKIP_RETURN_CODE 77)

# The Windows package: its name, its three files and the version resource.
add_test(NAME windows_package
  COMMAND ${CMAKE_COMMAND} -DDIR=${TOLVANE_WINDOWS_DIR} -DVERSION=${PROJECT_VERSION}
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckPackage.cmake)
