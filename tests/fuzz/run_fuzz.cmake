# The bounded fuzz run: cmake -DSECONDS=.. -DWORK_DIR=.. -DSEEDS=.. -DFINDINGS=..
#   [-DFUZZER=<xif_fuzz>] | [-DSOURCE_DIR=tests/fuzz -DCLANGXX=.. -DCLANG=..] -P run_fuzz.cmake
# Without FUZZER, tests/fuzz alone is first configured and built with clang
# under WORK_DIR. The seeds and the findings are replayed first, then new
# inputs are searched for SECONDS seconds; a crash fails the test and is
# left in WORK_DIR.
if(NOT FUZZER)
  set(build ${WORK_DIR}/clang)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build}
                          -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_C_COMPILER=${CLANG}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "xif fuzz: configuring the clang build failed")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --target xif_fuzz -j 2
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "xif fuzz: building the fuzzer failed")
  endif()
  set(FUZZER ${build}/xif_fuzz)
endif()

file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
# A small quarantine and short allocation traces: the cases allocate little
# and often, and ASan's bookkeeping would otherwise dominate.
execute_process(COMMAND ${CMAKE_COMMAND} -E env
                        ASAN_OPTIONS=quarantine_size_mb=4:malloc_context_size=4
                        ${FUZZER} -max_total_time=${SECONDS} -max_len=4096 -timeout=20
                        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${WORK_DIR}/
                        ${WORK_DIR}/corpus ${SEEDS} ${FINDINGS}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "xif fuzz: a finding (exit ${rc}); the input is in ${WORK_DIR}. "
                      "Once fixed, add it to tests/fuzz/findings.")
endif()
