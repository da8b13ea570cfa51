# Warnings on and clean for everything we write (third-party code is exempt).
function(veilkeeper_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()
