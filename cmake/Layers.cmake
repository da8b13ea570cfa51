# The lower layers stand alone: handles/ uses nothing of ours, framework/ and
# platform/ only handles/. A folder's headers are found only through a link
# to its library, so checking the links (and that no source reaches another
# folder by a relative path) keeps every include pointing down.
function(veilkeeper_check_layer target)
  set(allowed ${ARGN})
  set(ours handles framework framework_entry platform hider hider_rules settings settings_rules app_rules
      veilkeeper_resources veilkeeper_resource_ids onecopy test_support modal_driver)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  foreach(link IN LISTS links)
    if(link IN_LIST ours AND NOT link IN_LIST allowed)
      message(FATAL_ERROR "${target} may not use ${link}: see docs/layers.md")
    endif()
  endforeach()
endfunction()

function(veilkeeper_check_relative_includes folder)
  file(GLOB sources ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} reaching REGEX "^[ \t]*#[ \t]*include[ \t]*\"\\.\\./")
    if(reaching)
      message(FATAL_ERROR "${source} includes another folder's file by path: see docs/layers.md")
    endif()
  endforeach()
endfunction()

veilkeeper_check_layer(handles)
veilkeeper_check_layer(framework handles)
veilkeeper_check_layer(framework_entry framework handles)
veilkeeper_check_layer(platform handles)
foreach(folder handles framework platform)
  veilkeeper_check_relative_includes(${folder})
endforeach()
