find_package(GTest REQUIRED)
include(GoogleTest)

# tamsel_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest binary, its cases registered with CTest one by one.
function(tamsel_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} test_support GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300)
endfunction()
