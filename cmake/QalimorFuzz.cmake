# A libFuzzer target built from fuzz/<name>.cpp, only in a clang build that
# asks for them (see scripts/fuzz.sh, which also passes
# -fsanitize=fuzzer-no-link for the libraries).
#   qalimor_add_fuzzer(<name> LIBS <libraries...> [SEEDS])
# SEEDS makes a plain program instead, one that writes a target's seeds
# with the tests' file builders.
function(qalimor_add_fuzzer name)
  if(NOT (QALIMOR_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang"))
    return()
  endif()
  cmake_parse_arguments(ARG "SEEDS" "" "LIBS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(ARG_SEEDS)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  else()
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
