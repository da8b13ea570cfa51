# Cross toolchain: 32-bit Windows, the program we ship.
set(VEILKEEPER_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
