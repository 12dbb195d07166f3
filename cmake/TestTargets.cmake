# Compile options for test code: the test programs, their shared helpers and the random
# program generator.
#
# Most of the suite's build time goes into the test files, whose GoogleTest tables expand
# into large amounts of template code. That code needs no speed and no undefined-behaviour
# instrumentation to do its job, so:
#   - the release build compiles it with -O1 instead of -O3 (about half the time per file);
#     the compiler and the simulator under test keep their release optimisation;
#   - the sanitizer build keeps AddressSanitizer on it (the tests' own memory faults still
#     show) but leaves out UBSan, whose checks triple the time per test file; the compiler,
#     the simulator and the GUI stay fully instrumented;
#   - test programs built on GoogleTest (GTEST set) precompile its header once per program
#     instead of parsing it again in each of their files.
function(vorax_test_code_options target)
  cmake_parse_arguments(PARSE_ARGV 1 test_code "GTEST" "" "")
  if(test_code_GTEST)
    target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <string> <vector>)
  endif()
  if(VORAX_SANITIZE)
    target_compile_options(${target} PRIVATE -fno-sanitize=undefined)
  elseif(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_compile_options(${target} PRIVATE -O1)
  endif()
endfunction()
