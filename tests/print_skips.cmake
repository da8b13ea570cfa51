# Run by ctest before the tests (MODE=clear) and after them: prints the reason
# of each test that skipped itself, so a skip is never silent. Each Wine test
# writes its reason, when it skips, to DIR/<test>.txt.
if(MODE STREQUAL "clear")
  file(REMOVE_RECURSE ${DIR})
  file(MAKE_DIRECTORY ${DIR})
  return()
endif()
file(GLOB notes ${DIR}/*.txt)
foreach(note IN LISTS notes)
  get_filename_component(test ${note} NAME_WLE)
  file(READ ${note} reason)
  string(STRIP "${reason}" reason)
  message("${test} skipped: ${reason}")
endforeach()
