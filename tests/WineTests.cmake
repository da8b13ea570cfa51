# The Windows tiers, registered here so that one ctest runs every tier. Each
# Windows test program runs under Wine in a private copy of a booted prefix
# and a virtual display of its own (tools/wine-run.sh).
set(WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

add_test(NAME wine.prefix COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-prefix.sh ${WINE_TEMPLATE})
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)

function(add_wine_test name program)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run.sh ${WINE_TEMPLATE} ${VEILKEEPER_WIN_BIN_DIR}/${program}
            --gtest_color=no)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
endfunction()

add_wine_test(win.in_process win_tests.exe)
add_wine_test(e2e.black_box e2e_tests.exe)
add_wine_test(setup.program setup_tests.exe)

# The portable zip holds exactly its five files.
add_test(NAME release.zip_contents
  COMMAND ${CMAKE_COMMAND} -DZIP=${VEILKEEPER_WIN_BUILD_DIR}/release/Veilkeeper-${PROJECT_VERSION}-portable.zip
          -P ${CMAKE_CURRENT_SOURCE_DIR}/setup/check_zip.cmake)
