# as_add_test(NAME name SOURCES ... [LIBS ...] [DB] [DISPLAY])
#   Builds test_<name> from the sources with QtTest and the test support library and
#   registers it with CTest.
#   DB       the test needs the test MariaDB servers (started once per CTest run).
#   DISPLAY  the test needs a real X display (Xvfb, started once per CTest run);
#            other tests run on Qt's offscreen platform.
set(AS_TEST_DB_PORT 33306 CACHE STRING "Port of the test MariaDB servers")
set(AS_TEST_DB_EXTRA_PORT "" CACHE STRING
  "First of four ports for the servers that tests start themselves (default: the test port + 300)")
if(NOT AS_TEST_DB_EXTRA_PORT)
  math(EXPR AS_TEST_DB_EXTRA_PORT "${AS_TEST_DB_PORT} + 300")
endif()
set(AS_TEST_DISPLAY ":97" CACHE STRING "X display of the test Xvfb server")
set(AS_TEST_OWN_DISPLAY "" CACHE STRING
  "X display of the Xvfb server a focus-watching test has to itself (default: the test display + 10)")
if(NOT AS_TEST_OWN_DISPLAY)
  string(SUBSTRING "${AS_TEST_DISPLAY}" 1 -1 display_number)
  math(EXPR display_number "${display_number} + 10")
  set(AS_TEST_OWN_DISPLAY ":${display_number}")
endif()
set(AS_TEST_ROOT ${CMAKE_BINARY_DIR}/testrun)

function(as_add_test)
  cmake_parse_arguments(T "DB;DISPLAY" "NAME" "SOURCES;LIBS" ${ARGN})
  set(target test_${T_NAME})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE as_testsupport Qt6::Test ${T_LIBS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${target})
  set(env
    "LANG=C.UTF-8"
    "LC_ALL=C.UTF-8"
    "XDG_CONFIG_HOME=${AS_TEST_ROOT}/home/${T_NAME}"
    "XDG_RUNTIME_DIR=${AS_TEST_ROOT}/runtime"
    "AS_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "AS_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    "AS_FIXTURES_DIR=${AS_FIXTURES_DIR}"
    "AS_TEST_DB_HOST=127.0.0.1"
    "AS_TEST_DB_HOST2=127.0.0.2"
    "AS_TEST_DB_PORT=${AS_TEST_DB_PORT}"
    "AS_TEST_DB_EXTRA_PORT=${AS_TEST_DB_EXTRA_PORT}"
    "AS_TEST_ROOT=${AS_TEST_ROOT}"
    "AS_TEST_DB_SOCKET=${AS_TEST_ROOT}/db1/mysql.sock"
    "AS_TEST_DB_SOCKET2=${AS_TEST_ROOT}/db2/mysql.sock"
    "AS_TEST_DB_DIR=${AS_TEST_ROOT}/db1")
  set(fixtures "")
  if(T_DISPLAY)
    list(APPEND env "DISPLAY=${AS_TEST_DISPLAY}" "QT_QPA_PLATFORM=xcb")
    list(APPEND fixtures xdisplay)
  else()
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_DB)
    list(APPEND fixtures db)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  if(fixtures)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  endif()
  # The tests share the servers and the display (its focus and active window); keep
  # them from interfering.
  set(locks "")
  if(T_DB)
    list(APPEND locks testdb)
  endif()
  if(T_DISPLAY)
    list(APPEND locks xdisplay)
  endif()
  if(locks)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()

# as_add_test_variant(NAME name OF test ENV var=value...)
#   Runs the executable of `test` once more as its own CTest test, with the same
#   environment and servers and the extra variables.
function(as_add_test_variant)
  cmake_parse_arguments(V "" "NAME;OF" "ENV" ${ARGN})
  add_test(NAME ${V_NAME} COMMAND test_${V_OF})
  foreach(property ENVIRONMENT FIXTURES_REQUIRED RESOURCE_LOCK TIMEOUT)
    get_test_property(${V_OF} ${property} value)
    if(value)
      if(property STREQUAL "ENVIRONMENT")
        list(APPEND value ${V_ENV})
      endif()
      set_tests_properties(${V_NAME} PROPERTIES ${property} "${value}")
    endif()
  endforeach()
endfunction()
