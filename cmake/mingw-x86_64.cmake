# The 64-bit twin, for machines whose kernel runs no 32-bit x86 code (dev.sh chooses it there):
# the same sources as a 64-bit program.
set(PELMORA_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
