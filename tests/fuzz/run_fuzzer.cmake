# Runs the fuzzer for a fixed number of inputs from the committed corpus. New inputs it
# keeps go to a scratch directory emptied first, so every run costs the same and the
# committed corpus is never written.
foreach(variable IN ITEMS FUZZER CORPUS DICTIONARY WORK RUNS)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "run_fuzzer.cmake needs -D${variable}=...")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
    COMMAND ${FUZZER} -runs=${RUNS} -seed=1 -timeout=30 -max_len=1024 -len_control=20 -dict=${DICTIONARY}
        -artifact_prefix=${WORK}/artifacts/ -print_final_stats=1 ${WORK}/corpus ${CORPUS}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(GLOB found ${WORK}/artifacts/*)
    message(FATAL_ERROR "the fuzzer found a difference (exit ${status}): ${found}\n"
        "Add the input to tests/fuzz/corpus/ as a regression case.")
endif()
