# A short fuzzing run of one target as a test of the suite (ctest runs it in a clang
# sanitizer build): libFuzzer starts from the committed corpus and the dictionary, with a
# fixed seed, for SECONDS seconds. New inputs go to WORK/corpus (emptied first), a finding
# to WORK/findings; either the target's failing exit status or a file there fails the test.
# An unoptimized sanitizer build compiles a few kilobytes of source in about a second, so
# the inputs stay short and only a unit that runs 20 seconds counts as a hang.
#
#   cmake -DFUZZER=... -DWORK=... -DSEEDS=... -DDICT=... -DSECONDS=... -P short_run.cmake
foreach(required FUZZER WORK SEEDS DICT SECONDS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "short_run.cmake: ${required} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/findings")
execute_process(
  COMMAND "${FUZZER}" "${WORK}/corpus" "${SEEDS}" "-dict=${DICT}" -seed=1
          "-max_total_time=${SECONDS}" -timeout=20 -rss_limit_mb=2048 -max_len=4096
          -print_final_stats=1 "-artifact_prefix=${WORK}/findings/"
  RESULT_VARIABLE result)
file(GLOB findings "${WORK}/findings/*")
if(NOT result EQUAL 0 OR findings)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}): ${findings}")
endif()
