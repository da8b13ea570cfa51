# The record fuzzer, built by clang in a build of its own (tests/fuzz) and run
# for a bounded time as one test (tools/fuzz.sh; the README says how to run
# it longer). Without clang the test says it was skipped.
find_program(VEILKEEPER_CLANGXX NAMES clang++ clang++-14)
set(fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
if(VEILKEEPER_CLANGXX)
  ExternalProject_Add(record_fuzzer
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/fuzz
    BINARY_DIR ${fuzz_dir}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VEILKEEPER_CLANGXX} -DCMAKE_BUILD_TYPE=Debug
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  add_test(NAME fuzz.record COMMAND ${PROJECT_SOURCE_DIR}/tools/fuzz.sh 60 ${fuzz_dir}/record_fuzzer)
else()
  add_test(NAME fuzz.record COMMAND sh -c "echo 'skipped: no clang++ (tools/install-deps.sh installs it)'; exit 77")
endif()
set_tests_properties(fuzz.record PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
