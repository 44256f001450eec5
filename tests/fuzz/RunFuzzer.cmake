# Runs one fuzz target briefly, as a test: a fixed seed, a fresh working corpus beside the seed
# corpus (the source tree is never written), crashes kept in ARTIFACTS.
#   cmake -DFUZZER=<exe> -DSEEDS=<dir> -DWORK=<dir> -DARTIFACTS=<prefix> -DSECONDS=<n> -P RunFuzzer.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
  COMMAND "${FUZZER}" -seed=1 -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=8192
          -print_final_stats=1 "-artifact_prefix=${ARTIFACTS}" "${WORK}" "${SEEDS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input that failed is in ${ARTIFACTS}*")
endif()
