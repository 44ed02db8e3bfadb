# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(TAMSEL_WERROR)
  add_compile_options(-Werror)
endif()

if(TAMSEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every library of a fuzz build carries the coverage the fuzzer steers by; only the fuzz targets
# link libFuzzer itself.
if(TAMSEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAMSEL_FUZZ needs clang: build with scripts/fuzz")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

set(CMAKE_THREAD_PREFER_PTHREAD ON)
find_package(Threads REQUIRED)

# A folder joins the build once it holds a CMakeLists.txt, so that modules can land one at a time
# without the parent list naming folders that do not exist yet.
function(tamsel_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
