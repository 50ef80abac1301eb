# Project-wide helpers: the warnings every target compiles with, and one function to add a test.

set(DRAVIK_WARNINGS
    -Wall
    -Wextra
    -Wpedantic
    -Wconversion
    -Wsign-conversion
    -Wshadow
    -Wnon-virtual-dtor
    -Wold-style-cast
    -Woverloaded-virtual
    -Wcast-align
    -Wimplicit-fallthrough)

if(DRAVIK_BUILD_FUZZ)
  # Coverage for libFuzzer in every library the targets link; the targets add the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(DRAVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# dravik_warnings(<target>): the project's warning list, as errors when DRAVIK_WERROR is on.
function(dravik_warnings target)
  target_compile_options(${target} PRIVATE ${DRAVIK_WARNINGS})
  if(DRAVIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# dravik_add_test(<name> SOURCES <files...> LIBS <targets...>): one GoogleTest program, one CTest entry
# per test case.
function(dravik_add_test name)
  if(NOT DRAVIK_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  dravik_warnings(${name})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
