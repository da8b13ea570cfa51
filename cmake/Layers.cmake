# Every folder stands on the ones below it and never reaches up (docs/layers.md).
# A folder's headers are found only through a link to its library, so checking
# each target's links, and that no source reaches another folder by a relative
# path, keeps every include pointing where it may. A target the build does not
# make (the Windows half in the native build) is skipped.

# Our libraries: a link to anything else (a system or test library) is not ours
# to judge.
set(VEILKEEPER_OUR_LIBRARIES handles framework framework_core framework_messages framework_entry
    platform platform_interface platform_input platform_windows veilkeeper_resources veilkeeper_resource_ids
    onecopy onecopy_objects settings settings_rules keys keys_rules record record_rules hidden hidden_rules
    finder finder_rules main_window app_rules test_support modal_driver)

# veilkeeper_layer(TARGET [MAY_USE ours...]): TARGET links none of ours but these.
function(veilkeeper_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "MAY_USE")
  if(NOT TARGET ${target})
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    # Objects of another of our libraries, taken in by generator expression.
    if(source MATCHES "^\\$<TARGET_OBJECTS:([^>]+)>$")
      list(APPEND links ${CMAKE_MATCH_1})
    endif()
  endforeach()
  foreach(link IN LISTS links)
    if(link IN_LIST VEILKEEPER_OUR_LIBRARIES AND NOT link IN_LIST arg_MAY_USE)
      message(FATAL_ERROR "${target} may not use ${link}: see docs/layers.md")
    endif()
  endforeach()
endfunction()

# No source of the folder, nor of a folder inside it, includes another
# folder's file by a relative path, and its targets compile no other folder's
# source by path: what is shared is a library.
function(veilkeeper_no_reaching folder)
  file(GLOB_RECURSE sources ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/${folder}/CMakeLists.txt)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} reaching
         REGEX "^[ \t]*#[ \t]*include[ \t]*\"\\.\\./|(PROJECT_SOURCE_DIR|\\.\\.)[}]?/[a-z_/]+\\.cpp")
    if(reaching)
      message(FATAL_ERROR "${source} reaches into another folder by path (${reaching}): see docs/layers.md")
    endif()
  endforeach()
endfunction()

# The program, from the bottom up. The Windows-free rules (*_rules) use
# nothing of ours: they build natively too.
veilkeeper_layer(handles)
veilkeeper_layer(framework_messages MAY_USE handles)
veilkeeper_layer(framework_core MAY_USE framework_messages handles)
veilkeeper_layer(framework_entry MAY_USE framework_core framework_messages handles)
veilkeeper_layer(framework MAY_USE framework_core framework_messages handles)
veilkeeper_layer(platform_interface MAY_USE handles)
veilkeeper_layer(platform_input MAY_USE platform_interface handles)
veilkeeper_layer(platform_windows MAY_USE platform_interface handles)
veilkeeper_layer(platform MAY_USE platform_interface platform_input platform_windows handles)
veilkeeper_layer(veilkeeper_resources)
veilkeeper_layer(veilkeeper_resource_ids)
veilkeeper_layer(onecopy_objects MAY_USE handles)
veilkeeper_layer(onecopy MAY_USE onecopy_objects handles)
veilkeeper_layer(settings_rules)
veilkeeper_layer(settings MAY_USE settings_rules framework handles veilkeeper_resource_ids)
# The keys, the record, the hidden windows and the finder know nothing of the
# main window nor of each other, but that the hidden windows keep the record;
# those that use the window services are handed their interface, never the
# real ones.
veilkeeper_layer(keys_rules)
veilkeeper_layer(keys MAY_USE keys_rules platform_interface handles)
veilkeeper_layer(record_rules)
veilkeeper_layer(record MAY_USE record_rules settings handles)
veilkeeper_layer(hidden_rules)
veilkeeper_layer(hidden MAY_USE hidden_rules record_rules framework platform_interface handles)
veilkeeper_layer(finder_rules)
veilkeeper_layer(finder MAY_USE finder_rules platform_interface handles)
# The main window only dispatches; the record it keeps is handed in.
veilkeeper_layer(main_window MAY_USE keys keys_rules finder finder_rules hidden hidden_rules record_rules settings
                 settings_rules framework platform_interface handles veilkeeper_resource_ids)
veilkeeper_layer(app_rules)
veilkeeper_layer(Veilkeeper MAY_USE app_rules main_window record record_rules settings settings_rules framework
                 framework_entry platform handles veilkeeper_resources veilkeeper_resource_ids)

# The tests and benchmarks. Unit tests see the rules only; the in-process tests
# the whole main window; the black-box tests and most benchmarks the program as
# a process, with the identifiers and the record's rules to read it.
veilkeeper_layer(test_support MAY_USE handles)
veilkeeper_layer(unit_tests MAY_USE app_rules finder_rules hidden_rules keys_rules record_rules settings_rules)
set(in_process main_window keys keys_rules finder finder_rules hidden hidden_rules record record_rules settings
    settings_rules framework platform platform_interface platform_input handles onecopy_objects veilkeeper_resources
    veilkeeper_resource_ids test_support modal_driver)
veilkeeper_layer(modal_driver MAY_USE ${in_process})
veilkeeper_layer(win_tests MAY_USE ${in_process})
veilkeeper_layer(onecopy_holder MAY_USE handles)
set(black_box test_support keys_rules record_rules veilkeeper_resource_ids handles)
veilkeeper_layer(e2e_tests MAY_USE ${black_box})
veilkeeper_layer(target_window MAY_USE ${black_box})
veilkeeper_layer(setup_tests MAY_USE ${black_box})
veilkeeper_layer(bench_driver MAY_USE ${black_box})
veilkeeper_layer(bench_windows)
veilkeeper_layer(bare_dialog MAY_USE veilkeeper_resources veilkeeper_resource_ids)
# The baseline does the same safety work as Veilkeeper with the same calls, on
# the hide-key the tests know as the default.
veilkeeper_layer(baseline_hider MAY_USE platform_input platform_windows keys_rules record_rules handles
                 veilkeeper_resource_ids test_support)
veilkeeper_layer(bench_cycles MAY_USE ${in_process})
veilkeeper_layer(bench_trace MAY_USE ${in_process})

# Each folder with the folders inside it.
foreach(folder handles framework platform res onecopy settings keys record hidden finder main_window app tests/unit
        tests/support tests/win tests/e2e tests/setup bench)
  veilkeeper_no_reaching(${folder})
endforeach()
