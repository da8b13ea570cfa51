option(VEILKEEPER_SANITIZE "Build the native rules and tests with ASan and UBSan" OFF)
if(VEILKEEPER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# The Windows half is a cross build of this same tree, in two flavours: i686,
# the program we ship, and x86_64, for machines that cannot run 32-bit
# programs and to catch pointer-width faults. Both are driven from here so that
# one configure, one build and one ctest cover every tier.
include(ExternalProject)
foreach(flavour i686 x86_64)
  if(flavour STREQUAL "i686")
    set(dir ${CMAKE_BINARY_DIR}/windows)
    set(target windows)
  else()
    set(dir ${CMAKE_BINARY_DIR}/windows-${flavour})
    set(target windows-${flavour})
  endif()
  set(VEILKEEPER_WIN_BIN_DIR_${flavour} ${dir}/bin)
  ExternalProject_Add(${target}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${dir}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${flavour}.cmake
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
endforeach()
