find_package(GTest REQUIRED)
include(GoogleTest)

# tamsel_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest binary, its cases registered with CTest one by one.
# SLOW names a gtest filter of tests that take minutes: they carry the label "slow", which
# scripts/test leaves out and scripts/soak runs. A parameterized case is named by its generator's
# name or its index, never by its printed value, which made ctest's lines hundreds of characters wide.
function(tamsel_add_gtest name)
  cmake_parse_arguments(T "" "SLOW" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} test_support GTest::gmock GTest::gtest_main Threads::Threads)
  if(T_SLOW)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES TEST_FILTER "-${T_SLOW}"
                         PROPERTIES TIMEOUT 300)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES TEST_FILTER "${T_SLOW}"
                         PROPERTIES TIMEOUT 900 LABELS slow)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                         PROPERTIES TIMEOUT 300)
  endif()
endfunction()
