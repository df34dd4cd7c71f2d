# corvalint_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [DESKTOP])
# DESKTOP tests run on the test desktop (Xvfb + openbox) that the ctest
# fixture "test_desktop" starts once for the whole run.
function(corvalint_add_test)
  cmake_parse_arguments(T "DESKTOP" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_DESKTOP)
    set_tests_properties(${T_NAME} PROPERTIES
      FIXTURES_REQUIRED test_desktop
      RESOURCE_LOCK test_desktop
      ENVIRONMENT_MODIFICATION "DISPLAY=set:${CORVALINT_TEST_DISPLAY};CORVALINT_TEST_DESKTOP_DIR=set:${CORVALINT_TEST_DESKTOP_DIR}")
  else()
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
