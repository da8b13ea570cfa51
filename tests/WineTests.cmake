# The Windows tiers, registered here so that one ctest runs every tier. Each
# Windows test program runs under Wine in a private copy of a booted prefix
# and a virtual display of its own (tools/wine-run.sh).
#
# Both flavours are built everywhere. The x86_64 tiers run on this machine.
# The i686 tiers (the program we ship) and the shipped 32-bit setup run on
# this machine where it runs 32-bit programs (tools/wine32-check.sh), else in
# a Debian guest under QEMU that runs them (tools/guest-tests.sh, when
# VEILKEEPER_GUEST=yes; else they say skipped): the same programs, the same
# way, only another road to a 32-bit Wine.
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/tools/wine32-check.sh
                RESULT_VARIABLE wine32_status OUTPUT_VARIABLE wine32_reason OUTPUT_STRIP_TRAILING_WHITESPACE)
if(wine32_status EQUAL 0)
  set(VEILKEEPER_TEST_FLAVOURS i686 x86_64)
  set(guest_flavours)
else()
  set(VEILKEEPER_TEST_FLAVOURS x86_64)
  set(guest_flavours i686)
  message(STATUS "Windows tests: x86_64 here, i686 in a guest; ${wine32_reason}")
endif()

# A Wine test that exits 77 was skipped; it leaves its reason in a file that
# ctest prints once the run is over.
set(skip_code 77)
set(skip_notes ${CMAKE_BINARY_DIR}/skipped)
set(print_skips "${CMAKE_COMMAND} -DDIR=${skip_notes} -P ${CMAKE_CURRENT_SOURCE_DIR}/print_skips.cmake")
file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake
     "set(CTEST_CUSTOM_PRE_TEST \"${CMAKE_COMMAND} -DMODE=clear -DDIR=${skip_notes} -P ${CMAKE_CURRENT_SOURCE_DIR}/print_skips.cmake\")\n"
     "set(CTEST_CUSTOM_POST_TEST \"${print_skips}\")\n")

function(add_wine_test name flavour program)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run.sh ${flavour} ${WINE_TEMPLATE_${flavour}}
            ${VEILKEEPER_WIN_BIN_DIR_${flavour}}/${program} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE ${skip_code} TIMEOUT 600
                       ENVIRONMENT VEILKEEPER_SKIP_NOTE=${skip_notes}/${name}.txt)
  if(flavour IN_LIST VEILKEEPER_TEST_FLAVOURS)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine.${flavour})
  endif()
endfunction()

foreach(flavour i686 x86_64)
  set(WINE_TEMPLATE_${flavour} ${CMAKE_BINARY_DIR}/wine-template-${flavour})
endforeach()

foreach(flavour ${VEILKEEPER_TEST_FLAVOURS})
  add_test(NAME wine.prefix.${flavour}
           COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-prefix.sh ${flavour} ${WINE_TEMPLATE_${flavour}})
  set_tests_properties(wine.prefix.${flavour} PROPERTIES FIXTURES_SETUP wine.${flavour} TIMEOUT 300)
  add_wine_test(win.in_process.${flavour} ${flavour} win_tests.exe)
  add_wine_test(e2e.black_box.${flavour} ${flavour} e2e_tests.exe)
endforeach()
# The setup program: the shipped 32-bit one wherever it can run, and the same
# script made for x86-64 on a machine that cannot run it itself.
if(guest_flavours)
  add_wine_test(setup.program.x86_64 x86_64 setup_tests.exe)
else()
  add_wine_test(setup.program.i686 i686 setup_tests.exe)
endif()

# The guest: its image is made once and kept under build/ (remade when what
# goes into it changes); one boot runs every program, and each is reported as
# its own test. They start first: the guest's run is the longest.
set(guest_image ${PROJECT_SOURCE_DIR}/build/guest)
if(guest_flavours)
  add_test(NAME guest.image COMMAND ${PROJECT_SOURCE_DIR}/tools/guest-tests.sh image ${guest_image})
  set_tests_properties(guest.image PROPERTIES FIXTURES_SETUP guest.image TIMEOUT 2400 COST 1000
                       SKIP_RETURN_CODE ${skip_code} ENVIRONMENT VEILKEEPER_SKIP_NOTE=${skip_notes}/guest.image.txt)
endif()
foreach(flavour ${guest_flavours})
  set(results ${CMAKE_BINARY_DIR}/guest-${flavour})
  set(bin ${VEILKEEPER_WIN_BIN_DIR_${flavour}})
  set(programs win.in_process.${flavour}=${bin}/win_tests.exe e2e.black_box.${flavour}=${bin}/e2e_tests.exe
               setup.program.${flavour}=${bin}/setup_tests.exe)
  add_test(NAME guest.run.${flavour}
           COMMAND ${PROJECT_SOURCE_DIR}/tools/guest-tests.sh run ${guest_image} ${results} ${programs})
  set_tests_properties(guest.run.${flavour} PROPERTIES FIXTURES_REQUIRED guest.image FIXTURES_SETUP guest.${flavour}
                       TIMEOUT 3000 COST 900 SKIP_RETURN_CODE ${skip_code}
                       ENVIRONMENT VEILKEEPER_SKIP_NOTE=${skip_notes}/guest.run.${flavour}.txt)
  foreach(program ${programs})
    string(REGEX REPLACE "=.*" "" name ${program})
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tools/guest-tests.sh result ${results} ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED guest.${flavour} SKIP_RETURN_CODE ${skip_code}
                         ENVIRONMENT VEILKEEPER_SKIP_NOTE=${skip_notes}/${name}.txt)
  endforeach()
endforeach()

# The user guide's pictures are what the build draws. The windows look the
# same in both flavours: drawn in one, the shipped one where it runs.
list(GET VEILKEEPER_TEST_FLAVOURS 0 guide_flavour)
add_test(NAME guide.pictures
  COMMAND ${PROJECT_SOURCE_DIR}/tools/guide-pictures-test.sh ${guide_flavour} ${VEILKEEPER_WIN_BIN_DIR_${guide_flavour}}
          ${WINE_TEMPLATE_${guide_flavour}} ${PROJECT_SOURCE_DIR}/docs/guide/images)
set_tests_properties(guide.pictures PROPERTIES SKIP_RETURN_CODE ${skip_code} TIMEOUT 600 FIXTURES_REQUIRED wine.${guide_flavour}
                     ENVIRONMENT VEILKEEPER_SKIP_NOTE=${skip_notes}/guide.pictures.txt)

# The portable zip holds exactly its five files.
add_test(NAME release.zip_contents
  COMMAND ${CMAKE_COMMAND} -DZIP=${VEILKEEPER_WIN_BIN_DIR_i686}/../release/Veilkeeper-${PROJECT_VERSION}-portable.zip
          -P ${CMAKE_CURRENT_SOURCE_DIR}/setup/check_zip.cmake)

# The shipped flavour's exe and library as files, checked without running
# them: on every machine, so the i686 build is checked even where it cannot
# run. Debian's own Python, the one python3-pefile is for (another python3
# may come first on PATH).
find_program(DEBIAN_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
set(check_binaries ${DEBIAN_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/setup/check_binaries.py)
add_test(NAME release.i686_binaries
  COMMAND ${check_binaries} ${VEILKEEPER_WIN_BIN_DIR_i686}/Veilkeeper.exe ${VEILKEEPER_WIN_BIN_DIR_i686}/Onecopy.dll
          ${PROJECT_VERSION} ${PROJECT_SOURCE_DIR}/res)
# The check finds real faults: handed the x86_64 program and a library
# without GetCount, it must name both.
add_test(NAME release.i686_binaries.faults_found
  COMMAND ${check_binaries} ${VEILKEEPER_WIN_BIN_DIR_x86_64}/Veilkeeper.exe
          ${VEILKEEPER_WIN_BIN_DIR_i686}/onecopy_without_getcount.dll ${PROJECT_VERSION} ${PROJECT_SOURCE_DIR}/res)
set_tests_properties(release.i686_binaries.faults_found PROPERTIES PASS_REGULAR_EXPRESSION
  "FAIL  Veilkeeper.exe: PE32 for i386: machine is IMAGE_FILE_MACHINE_AMD64.*FAIL  onecopy_without_getcount.dll: exports the undecorated GetCount")
