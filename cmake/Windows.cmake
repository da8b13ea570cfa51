# Unicode entry points and APIs, Windows 7 as the floor.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
enable_language(RC)

# One static runtime: the exe and dll import system DLLs only.
set(VEILKEEPER_WIN_LINK_OPTIONS -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)

# A release is stripped: symbols stay in the RelWithDebInfo build.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  list(APPEND VEILKEEPER_WIN_LINK_OPTIONS -s)
endif()

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

find_program(PYTHON3 python3 REQUIRED)
