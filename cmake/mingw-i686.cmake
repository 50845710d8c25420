# The program as users get it: 32-bit Windows.
set(PELMORA_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
