# vantorel_win_test(NAME SOURCES file... [LIBS lib...] [DESKTOP | ALONE] [ALONE_TESTS filter]
#                   [TIMEOUT s])
# One GoogleTest executable, one ctest test run under Wine. DESKTOP: the test shows windows,
# injects input or needs the foreground, so it must not run on a desktop beside another such
# test (a window of one would cover the picture another reads back, or take its focus). ALONE:
# it measures sound or pace and has the machine to itself. ALONE_TESTS: those of its tests that
# do, as a GoogleTest filter, run so in a test NAME_alone, and the rest on one desktop.
function(vantorel_win_test name)
  cmake_parse_arguments(T "DESKTOP;ALONE" "TIMEOUT;ALONE_TESTS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # A test program's files compiled as one: GoogleTest's and Windows' headers are most of the
  # time each file took. A file whose names its neighbours also use keeps to itself
  # (SKIP_UNITY_BUILD_INCLUSION).
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
  # gcc takes the files included into the one it compiles for headers, and warns of a test
  # deriving from a fixture of the file's own anonymous namespace, which a header could not do.
  target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  target_link_libraries(${name} PRIVATE gtest gmock ${T_LIBS})
  # Wine now and then leaves a finished test program hanging at its exit: a short deadline for
  # the quick programs lets the second try come soon. The first one in a new prefix also waits
  # for the prefix to be made.
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  if(T_ALONE_TESTS)
    # The tests that measure sound or pace run apart, alone on the machine; the rest share it.
    add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${T_ALONE_TESTS})
    add_test(NAME ${name}_alone COMMAND ${name} --gtest_filter=${T_ALONE_TESTS})
    set_tests_properties(${name}_alone PROPERTIES LABELS win TIMEOUT ${T_TIMEOUT})
    vantorel_desktop_test(${name}_alone ALONE)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS win TIMEOUT ${T_TIMEOUT})
  if(T_ALONE)
    vantorel_desktop_test(${name} ALONE)
  elseif(T_DESKTOP)
    vantorel_desktop_test(${name})
  endif()
  vantorel_order_tests_here()
endfunction()

# vantorel_desktop_test(TEST [ALONE]): the test has windows, takes the focus and presses keys,
# so it needs a desktop of its own: a display with a Wine prefix, one of the two the suite has
# (tests/desktops.json; tools/wine-run picks the one ctest gave). With ALONE it takes both and
# has the machine to itself: it measures what is heard, or the pace against the wall clock.
function(vantorel_desktop_test test)
  if("ALONE" IN_LIST ARGN)
    set_tests_properties(${test} PROPERTIES RESOURCE_GROUPS "2,desktop:1")
  else()
    set_tests_properties(${test} PROPERTIES RESOURCE_GROUPS "desktop:1")
  endif()
endfunction()

# The order of the suite: ctest starts the test of the highest COST first, and passes over one
# whose desktops are taken. The tests that need a desktop take longer together than all the
# others: they go first, two at a time, and the others fill the places beside them; the ones
# that take both desktops come once the rest are done, when the quick tests have long ended and
# the machine is quiet. Within each kind the longest go first (a test's deadline stands for its
# length). Set once the directory's tests are all there, at the end of it.
function(vantorel_order_tests_here)
  get_property(ordered DIRECTORY PROPERTY VANTOREL_TESTS_ORDERED)
  if(NOT ordered)
    set_property(DIRECTORY PROPERTY VANTOREL_TESTS_ORDERED TRUE)
    cmake_language(DEFER CALL vantorel_order_tests)
  endif()
endfunction()
function(vantorel_order_tests)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test ${tests})
    get_test_property(${test} TIMEOUT cost)
    if(NOT cost)
      set(cost 0)
    endif()
    get_test_property(${test} RESOURCE_GROUPS groups)
    if(groups STREQUAL "desktop:1")
      math(EXPR cost "${cost} + 2000")
    elseif(groups MATCHES "desktop")
      math(EXPR cost "${cost} + 1000")
    endif()
    set_tests_properties(${test} PROPERTIES COST ${cost})
  endforeach()
endfunction()

# DLL with undecorated stdcall exports from NAME.def, and an import library from
# NAME-import.def (decorated names) so that callers' _Func@N binds to Func. The 64-bit build
# has one calling convention and no decoration: there the plain .def serves both.
function(vantorel_dll target output_name def_plain def_decorated)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output_name} SUFFIX ".DLL")
  target_sources(${target} PRIVATE ${def_plain})
  set(implib ${CMAKE_BINARY_DIR}/lib/lib${output_name}.a)
  if(VANTOREL_BITS EQUAL 32)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    set(implib_command ${CMAKE_DLLTOOL} -d ${def_decorated} -l ${implib} -k -D ${output_name}.DLL)
    set(implib_def ${def_decorated})
  else()
    set(implib_command ${CMAKE_DLLTOOL} -d ${def_plain} -l ${implib} -D ${output_name}.DLL)
    set(implib_def ${def_plain})
  endif()
  add_custom_command(OUTPUT ${implib} COMMAND ${implib_command} DEPENDS ${implib_def})
  add_custom_target(${target}_implib DEPENDS ${implib})
  add_library(${target}_import INTERFACE)
  add_dependencies(${target}_import ${target}_implib ${target})
  target_link_libraries(${target}_import INTERFACE ${implib})
endfunction()
# The tests of the top directory (the host-compiled ones) too.
vantorel_order_tests_here()
