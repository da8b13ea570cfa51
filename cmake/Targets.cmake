# Warnings on and clean for everything we write (third-party code is exempt).
function(veilkeeper_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()

# A subsystem's static library: its folder is its public include path.
function(veilkeeper_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  veilkeeper_warnings(${name})
endfunction()
