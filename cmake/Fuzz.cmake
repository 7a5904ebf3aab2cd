# libFuzzer targets (clang only): the program's own code built again with
# coverage and the sanitizers, one target per input. Run them with scripts/fuzz.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TOLVANE_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
endif()
add_library(tolvane_fuzz_code STATIC ${TOLVANE_PLATFORM_SOURCES} src/app/build_options.cc
            src/app/places.cc)
target_include_directories(tolvane_fuzz_code PUBLIC src)
target_include_directories(tolvane_fuzz_code SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/rapidjson)
target_compile_options(tolvane_fuzz_code PUBLIC -fsanitize=address,undefined,fuzzer-no-link -g)
target_link_options(tolvane_fuzz_code PUBLIC -fsanitize=address,undefined,fuzzer)
add_custom_target(fuzz_targets)
foreach(target line_reader script_line build_options)
  add_executable(fuzz_${target} fuzz/${target}_fuzz.cc)
  target_link_libraries(fuzz_${target} PRIVATE tolvane_fuzz_code)
  add_dependencies(fuzz_targets fuzz_${target})
endforeach()
