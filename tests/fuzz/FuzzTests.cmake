# Builds the native sanitizer project of this folder into <build>/fuzz with clang and registers
# its checks as tests: each fuzz target for a short bounded time, and the integer syntax against
# its independent reference. Included by tests/CMakeLists.txt.
include(ExternalProject)
find_program(PELMORA_CLANGXX NAMES clang++-14 clang++ REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(PELMORA_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(pelmora_fuzz
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${PELMORA_FUZZ_DIR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${PELMORA_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
  INSTALL_COMMAND ""
  BUILD_ALWAYS TRUE
)

# The checks run niced: beside the suites under Wine (tests/schedule), whose waits on the window
# system have time limits, they take the processors second. A target still runs its full time.
set(PELMORA_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs in the test suite")
foreach(target int_syntax settings_path section_names readout failure_text)
  add_test(NAME fuzz_${target}
           COMMAND nice -n 10 ${CMAKE_CURRENT_LIST_DIR}/run-fuzz.sh ${PELMORA_FUZZ_DIR}
                   ${PELMORA_FUZZ_SECONDS} ${target})
endforeach()
add_test(NAME int_syntax_reference
         COMMAND nice -n 10 ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/int_syntax_reference.py
                 ${PELMORA_FUZZ_DIR}/int_syntax_probe)
