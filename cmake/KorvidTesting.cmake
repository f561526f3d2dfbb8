# korvid_add_test(NAME SOURCES src... [LIBS lib...] [ENV VAR=VALUE...])
# One test program per call, registered with CTest under its own name.
include_guard(GLOBAL)
find_package(GTest REQUIRED)

function(korvid_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
endfunction()
