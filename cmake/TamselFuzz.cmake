# tamsel_add_fuzz_target(<name> SOURCES <files...> LIBS <targets...>)
# One libFuzzer entry point (LLVMFuzzerTestOneInput, and LLVMFuzzerInitialize when it needs one)
# with its seed corpus in tests/fuzz/<name>/seeds. The test build links it with a small replay main
# and runs it over the seeds as the test fuzz_<name>; the fuzz build (TAMSEL_FUZZ, clang, made by
# scripts/fuzz) links it with libFuzzer as the program fuzz_<name>.
function(tamsel_add_fuzz_target name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  set(seeds ${PROJECT_SOURCE_DIR}/tests/fuzz/${name}/seeds)
  if(TAMSEL_FUZZ)
    add_executable(fuzz_${name} ${F_SOURCES})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(fuzz_${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/FuzzReplayMain.cpp)
    add_test(NAME fuzz_${name} COMMAND fuzz_${name} ${seeds})
    set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 300)
  endif()
  target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS} fuzz_support)
endfunction()
