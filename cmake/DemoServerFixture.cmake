# The demo content server as a ctest fixture for Windows tests under Wine.
#
#   include(${PROJECT_SOURCE_DIR}/cmake/DemoServerFixture.cmake)
#   variz_test(my_test_win SOURCES ... LIBS ... wininet
#              PROPERTIES ${VARIZ_DEMO_SERVER_TEST_PROPERTIES})
#
# Every case of such a test then runs after the test DemoServerStart, which starts
# tools/content_server.py in the background on a free port, and before DemoServerStop. The case
# finds the server through the environment variable VARIZ_DEMO_SERVER, the folder that holds
# "address" (HOST:PORT) and "requests.log"; testsupport/DemoServer_win.h reads them.
#
# Tests of the delivered programs, which reach the content host they were built with, take
# VARIZ_CONTENT_HOST_SERVER_TEST_PROPERTIES instead: the same server, listening on that host.

set(VARIZ_DEMO_SERVER_DIR ${CMAKE_BINARY_DIR}/demo-server)
set(VARIZ_DEMO_SERVER_TEST_PROPERTIES
    FIXTURES_REQUIRED DemoServer
    ENVIRONMENT "VARIZ_DEMO_SERVER=${VARIZ_DEMO_SERVER_DIR}")
set(VARIZ_CONTENT_HOST_SERVER_DIR ${CMAKE_BINARY_DIR}/content-host-server)
set(VARIZ_CONTENT_HOST_SERVER_TEST_PROPERTIES
    FIXTURES_REQUIRED ContentHostServer
    ENVIRONMENT "VARIZ_DEMO_SERVER=${VARIZ_CONTENT_HOST_SERVER_DIR}")

get_property(fixture_defined GLOBAL PROPERTY VARIZ_DEMO_SERVER_FIXTURE)
if(fixture_defined OR NOT VARIZ_RUNS_TESTS)
  return()
endif()
set_property(GLOBAL PROPERTY VARIZ_DEMO_SERVER_FIXTURE TRUE)

find_program(VARIZ_PYTHON3 python3 REQUIRED)

function(variz_demo_server_fixture fixture dir listen)
  set(server ${PROJECT_SOURCE_DIR}/tools/content_server.py)
  add_test(NAME ${fixture}Start
    COMMAND ${VARIZ_PYTHON3} ${server} --background --state-dir ${dir}
            --listen ${listen} --log ${dir}/requests.log --fresh-log)
  add_test(NAME ${fixture}Stop COMMAND ${VARIZ_PYTHON3} ${server} --stop --state-dir ${dir})
  set_tests_properties(${fixture}Start PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 30
                       ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
  set_tests_properties(${fixture}Stop PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 30)
endfunction()

variz_demo_server_fixture(DemoServer ${VARIZ_DEMO_SERVER_DIR} 127.0.0.1:0)
variz_demo_server_fixture(ContentHostServer ${VARIZ_CONTENT_HOST_SERVER_DIR}
                          ${VARIZ_CONTENT_HOST})
