# keyrack_add_test(NAME SOURCES ... LIBS ... [HOST_ONLY] [LABELS ...])
# A GoogleTest executable; on the Windows build ctest runs it under Wine.
function(keyrack_add_test name)
  cmake_parse_arguments(T "HOST_ONLY;WINDOWS_ONLY" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_HOST_ONLY AND WIN32)
    return()
  endif()
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(WIN32 AND NOT MSVC)
    # gtest_main provides main(), so the tests drop the directory's -municode (which asks for
    # wmain) and keep only -static.
    set_target_properties(${name} PROPERTIES LINK_OPTIONS "-static")
  endif()
  # Every test case is bounded. The property list is built so that no LABELS leaves an empty
  # value behind: that would shift TIMEOUT into the labels and leave the cases unbounded.
  set(properties TIMEOUT 300)
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${properties})
endfunction()
