option(VEILKEEPER_SANITIZE "Build the native rules and tests with ASan and UBSan" OFF)
if(VEILKEEPER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# The Windows half is a cross build of this same tree. It is driven from here so
# that one configure, one build and one ctest cover every tier.
include(ExternalProject)
set(VEILKEEPER_WIN_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
set(VEILKEEPER_WIN_BIN_DIR ${VEILKEEPER_WIN_BUILD_DIR}/bin)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${VEILKEEPER_WIN_BUILD_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)
