# korvid_add_test(NAME SOURCES src... [LIBS lib...] [ENV VAR=VALUE...]
#                 [MONOSPACE_FONTS family...] [OWN_MANIFEST])
# One test program per call, registered with CTest under its own name. In the
# Windows cross build it runs under wine, and a program that did not run its tests
# fails (korvid_windows_test_command). With MONOSPACE_FONTS the program runs once
# per family instead, as NAME_<family> (hexedit_widget_test_noto_sans_mono), with
# fonts of its own in which that family is "monospace"; KORVID_TEST_MONOSPACE
# names the family to the test. KORVID_TEST_MONOSPACE_FAMILIES lists the families
# the suite draws with. On Windows a program gets the manifest of
# korvid_utf8_code_page, unless OWN_MANIFEST says that its sources bring one.
#
# korvid_monospace_fontconfig(PATH_OUT NAME_OUT family)
# Writes a fontconfig file (for FONTCONFIG_FILE) that makes family the
# "monospace" family, from tests/fonts/monospace.conf.in; its path goes to
# PATH_OUT, the family's name as a lower-case identifier to NAME_OUT.
#
# korvid_skip_test(NAME REASON)
# Registers a test that cannot run in this build, so that CTest lists it as not run
# (disabled) with the reason, instead of leaving it out silently.
include_guard(GLOBAL)
if(CMAKE_CROSSCOMPILING)
  # Debian's GoogleTest package serves the build machine only: built from its sources.
  set(INSTALL_GTEST OFF)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# The command that runs a cross-built test program (in `out`): through wine,
# failing when the program's output lacks `marker` (an extended regular expression).
function(korvid_windows_test_command out program marker)
  set(${out} sh ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
      ${marker} ${program} PARENT_SCOPE)
endfunction()

set(KORVID_TEST_MONOSPACE_FAMILIES "Noto Sans Mono" "DejaVu Sans Mono" "Liberation Mono")

function(korvid_monospace_fontconfig path_out name_out family)
  string(MAKE_C_IDENTIFIER "${family}" slug)
  string(TOLOWER "${slug}" slug)
  set(MONOSPACE_FAMILY "${family}")
  set(path ${PROJECT_BINARY_DIR}/fonts/${slug}/fonts.conf)
  configure_file(${PROJECT_SOURCE_DIR}/tests/fonts/monospace.conf.in ${path} @ONLY)
  set(${path_out} ${path} PARENT_SCOPE)
  set(${name_out} ${slug} PARENT_SCOPE)
endfunction()

function(korvid_add_test name)
  cmake_parse_arguments(ARG "OWN_MANIFEST" "" "SOURCES;LIBS;ENV;MONOSPACE_FONTS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT ARG_OWN_MANIFEST)
    korvid_utf8_code_page(${name})
  endif()
  if(CMAKE_CROSSCOMPILING)
    # The test's own sources unoptimised: they are checks, and the library they
    # test is built as released. Shortens the Windows suite's build by a fifth.
    target_compile_options(${name} PRIVATE -O0)
    # GoogleTest's closing line: "[==========] N tests from M test suites ran."
    korvid_windows_test_command(command $<TARGET_FILE:${name}> "^\\[==========\\] [0-9]+ tests? from .* ran\\.")
    add_test(NAME ${name} COMMAND ${command})
  elseif(ARG_MONOSPACE_FONTS)
    foreach(family IN LISTS ARG_MONOSPACE_FONTS)
      korvid_monospace_fontconfig(fonts slug "${family}")
      add_test(NAME ${name}_${slug} COMMAND ${name})
      set_tests_properties(${name}_${slug} PROPERTIES TIMEOUT 300 ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${fonts};KORVID_TEST_MONOSPACE=${family};${ARG_ENV}")
    endforeach()
    return()
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
endfunction()

function(korvid_skip_test name reason)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "${reason}")
  set_tests_properties(${name} PROPERTIES DISABLED TRUE)
endfunction()
