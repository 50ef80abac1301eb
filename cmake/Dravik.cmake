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
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports impossible overlaps inside std::basic_string's operator+ at -O2 and above (its bug
  # 105329); the check is sound again from GCC 13 on.
  list(APPEND DRAVIK_WARNINGS -Wno-restrict)
endif()

if(WIN32)
  # The lean, wide-character Windows headers, without the min and max macros that break std::min.
  add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)
endif()

include(CheckCXXCompilerFlag)
# dravik_harden_where_known(<flag>): adds a protection that only some targets have (the compiler refuses
# -fcf-protection on arm64, and -mbranch-protection on x86) where this compiler takes it for the target;
# with -Werror a flag it only warns about counts as refused.
macro(dravik_harden_where_known flag)
  string(MAKE_C_IDENTIFIER "DRAVIK_TAKES${flag}" known)
  set(CMAKE_REQUIRED_FLAGS -Werror)
  check_cxx_compiler_flag(${flag} ${known})
  unset(CMAKE_REQUIRED_FLAGS)
  if(${known})
    list(APPEND DRAVIK_HARDENING ${flag})
  endif()
endmacro()

# The release's protections, as Debian and the OpenSSF's compiler hardening guide ask of a program that
# reads text from anywhere and writes files; left out of the sanitizer and fuzz builds, which bring their
# own checks.
set(DRAVIK_HARDENING
    # A canary before the return address of every function with an array or an address taken.
    -fstack-protector-strong)
# The same at link time, where MinGW-w64 then adds its stack-protector library (libssp, linked statically).
set(DRAVIK_HARDENING_LINK -fstack-protector-strong)
if(NOT WIN32)
  # Stack growth probed a page at a time, so no allocation jumps over the guard page (most targets).
  dravik_harden_where_known(-fstack-clash-protection)
  # Indirect branches and returns marked for the processor's control-flow enforcement: CET on x86, and
  # branch targets and signed return addresses (BTI and PAC) on arm64.
  dravik_harden_where_known(-fcf-protection=full)
  dravik_harden_where_known(-mbranch-protection=standard)
  list(APPEND DRAVIK_HARDENING
       # Bounds-checked memcpy, sprintf and kin where sizes are known, also at run time (needs -O1 or more).
       $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
       $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=3>
       # Checked std::vector, std::string and std::optional access in the C++ library.
       -D_GLIBCXX_ASSERTIONS)
  list(APPEND DRAVIK_HARDENING_LINK
       # Relocations resolved at start and the table made read-only then: full RELRO.
       -Wl,-z,relro,-z,now
       # No stack the processor may execute.
       -Wl,-z,noexecstack)
endif()
# No build path in any byte: __FILE__, the debug information and the build ID hashed from it name files
# relative to the source folder, and the build folder as "build/".
set(DRAVIK_PATH_MAPS -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                     -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)

if(DRAVIK_BUILD_FUZZ)
  # Coverage for libFuzzer in every library the targets link; the targets add the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(DRAVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
else()
  add_compile_options(${DRAVIK_HARDENING})
  add_link_options(${DRAVIK_HARDENING_LINK})
  # Position-independent executables, so the system loads the program at a random address (PIE).
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
endif()
add_compile_options(${DRAVIK_PATH_MAPS})

# dravik_warnings(<target>): the project's warning list, as errors when DRAVIK_WERROR is on.
function(dravik_warnings target)
  target_compile_options(${target} PRIVATE ${DRAVIK_WARNINGS})
  if(DRAVIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# dravik_add_test(<name> SOURCES <files...> LIBS <targets...> [OWN_MAIN] [ENVIRONMENT <var=value...>]
#                 [LAUNCHER <command...>] [ARGS <arguments...>] [TIMEOUT <seconds>])
# One GoogleTest program: one CTest entry per test case, or one per program when it is cross-compiled
# (each start under the emulator costs far more than a test case does), started by a LAUNCHER or given
# ARGS. OWN_MAIN: the sources bring their own main() instead of GoogleTest's.
function(dravik_add_test name)
  if(NOT DRAVIK_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LAUNCHER;ARGS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  dravik_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 1500)  # CTest's own
  endif()
  if(ARG_LAUNCHER)
    add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}> ${ARG_ARGS})
  elseif(CMAKE_CROSSCOMPILING OR ARG_ARGS)
    add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}" TIMEOUT ${ARG_TIMEOUT})
    return()
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}" TIMEOUT ${ARG_TIMEOUT})
endfunction()
