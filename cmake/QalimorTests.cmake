# One test executable per test source, so a test file that does not build
# never stops the others from running.
#   qalimor_add_tests(<folder> LIBS <libraries...> [LABELS <labels...>]
#                     [ONE_AT_A_TIME <test source stems...>])
function(qalimor_add_tests folder)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS;ONE_AT_A_TIME" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  string(REPLACE "/" "_" prefix ${folder})
  foreach(src ${sources})
    get_filename_component(stem ${src} NAME_WE)
    set(target ${prefix}_${stem})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    # The tests of a file that builds scenes of many thousand nodes take
    # gigabytes each: all of them side by side would fill the machine's
    # memory, so they run one after the other (beside other files' tests),
    # started first so that their chain does not end the run alone.
    set(lock)
    if(stem IN_LIST ARG_ONE_AT_A_TIME)
      set(lock RESOURCE_LOCK ${target} COST 1000)
    endif()
    # Listing a program's tests runs its start-up, which the sanitizers and
    # a busy machine slow well past the default 5 s.
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      TEST_PREFIX "${target}."
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES LABELS "${folder};${ARG_LABELS}" TIMEOUT 300 ${lock})
  endforeach()
endfunction()
