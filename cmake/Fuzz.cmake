# libFuzzer targets (clang only): the program's own code built again with
# coverage, AddressSanitizer and UndefinedBehaviorSanitizer, and one target
# per input that the program reads. The console layer is replaced by the
# targets' own, which records what is printed and turns the end of the
# process into an exception. Run them with scripts/fuzz.

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TOLVANE_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
endif()

set(TOLVANE_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                       -fno-omit-frame-pointer -g)

set(TOLVANE_FUZZ_CODE ${TOLVANE_PLATFORM_SOURCES} ${TOLVANE_APP_SOURCES})
list(FILTER TOLVANE_FUZZ_CODE EXCLUDE REGEX "/console\\.cc$")
add_library(tolvane_fuzz_code STATIC ${TOLVANE_FUZZ_CODE})
target_include_directories(tolvane_fuzz_code PUBLIC src fuzz)
target_compile_options(tolvane_fuzz_code PUBLIC ${TOLVANE_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
target_link_options(tolvane_fuzz_code PUBLIC -fsanitize=address,undefined)

# The targets' helpers, with the direct readings of the rules that the
# program is held to, stay out of the coverage that steers the fuzzer.
add_library(tolvane_fuzz_support STATIC fuzz/fuzz_support.cc)
target_include_directories(tolvane_fuzz_support PUBLIC src fuzz)
target_compile_options(tolvane_fuzz_support PUBLIC ${TOLVANE_FUZZ_FLAGS})

add_custom_target(fuzz_targets)
foreach(target line_reader preferences text script_line)
  add_executable(fuzz_${target} fuzz/${target}_fuzz.cc)
  target_link_libraries(fuzz_${target} PRIVATE tolvane_fuzz_code tolvane_fuzz_support)
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets fuzz_${target})
endforeach()
