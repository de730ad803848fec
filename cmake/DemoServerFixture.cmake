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

set(VARIZ_DEMO_SERVER_DIR ${CMAKE_BINARY_DIR}/demo-server)
set(VARIZ_DEMO_SERVER_TEST_PROPERTIES
    FIXTURES_REQUIRED DemoServer
    ENVIRONMENT "VARIZ_DEMO_SERVER=${VARIZ_DEMO_SERVER_DIR}")

get_property(fixture_defined GLOBAL PROPERTY VARIZ_DEMO_SERVER_FIXTURE)
if(fixture_defined OR NOT VARIZ_RUNS_TESTS)
  return()
endif()
set_property(GLOBAL PROPERTY VARIZ_DEMO_SERVER_FIXTURE TRUE)

find_program(VARIZ_PYTHON3 python3 REQUIRED)
set(server ${PROJECT_SOURCE_DIR}/tools/content_server.py)
add_test(NAME DemoServerStart
  COMMAND ${VARIZ_PYTHON3} ${server} --background --state-dir ${VARIZ_DEMO_SERVER_DIR}
          --listen 127.0.0.1:0 --log ${VARIZ_DEMO_SERVER_DIR}/requests.log --fresh-log)
add_test(NAME DemoServerStop
  COMMAND ${VARIZ_PYTHON3} ${server} --stop --state-dir ${VARIZ_DEMO_SERVER_DIR})
set_tests_properties(DemoServerStart PROPERTIES FIXTURES_SETUP DemoServer TIMEOUT 30
                     ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
set_tests_properties(DemoServerStop PROPERTIES FIXTURES_CLEANUP DemoServer TIMEOUT 30)
