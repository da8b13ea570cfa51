# Cross toolchain: 64-bit Windows, the same sources for machines that cannot
# run 32-bit programs, and to catch pointer-width faults.
set(VEILKEEPER_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
