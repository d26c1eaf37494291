# cmake -DFUZZER=... -DSEEDS=... -DCORPUS=... -DDICTIONARY=... -DFINDINGS=... -DSECONDS=... -P RunFuzzer.cmake
# Runs a libFuzzer target for a bounded time on a copy of its seed corpus, so the repository
# stays as it is. A finding fails the run and is written to FINDINGS, the folder of regression
# cases that a test replays on every run once it is committed.
file(MAKE_DIRECTORY "${CORPUS}" "${FINDINGS}")
file(COPY "${SEEDS}/" DESTINATION "${CORPUS}")
execute_process(
  COMMAND "${FUZZER}" "${CORPUS}"
    -max_total_time=${SECONDS} -dict=${DICTIONARY} -artifact_prefix=${FINDINGS}/
    -max_len=4096 -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=64 -print_final_stats=1
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${FINDINGS}: commit it with the fix")
endif()
