# xif_add_gtest(<name> SOURCES ... LIBS ...): a GoogleTest executable whose
# tests CTest lists one by one.
find_package(GTest REQUIRED)
include(GoogleTest)
function(xif_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  xif_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
