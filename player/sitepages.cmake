# Site pages: the loading page and the short HTTP text fetch; the demo content server's tests.
target_sources(player_logic PRIVATE LoadingPage.cpp HttpText.cpp)
variz_test(sitepages_test SOURCES LoadingPage_test.cpp HttpText_test.cpp LIBS player_logic)

if(WIN32)
  add_library(sitepages_win STATIC HttpText_win.cpp)
  target_include_directories(sitepages_win PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(sitepages_win PUBLIC player_logic common_win wininet)
  if(TARGET player_win)
    target_link_libraries(player_win PUBLIC sitepages_win)
  endif()

  include(${PROJECT_SOURCE_DIR}/cmake/DemoServerFixture.cmake)
  variz_test(sitepages_test_win SOURCES HttpText_test_win.cpp LIBS sitepages_win
             PROPERTIES ${VARIZ_DEMO_SERVER_TEST_PROPERTIES})
  if(TARGET sitepages_test_win)
    target_include_directories(sitepages_test_win PRIVATE ${VARIZ_DEMO_SERVER_INCLUDE_DIR})
  endif()
else()
  # The demo content server, under the first python3 on PATH and under the system's one.
  find_program(VARIZ_PYTHON3 python3 REQUIRED)
  set(server_pythons ${VARIZ_PYTHON3})
  if(EXISTS /usr/bin/python3 AND NOT VARIZ_PYTHON3 STREQUAL "/usr/bin/python3")
    list(APPEND server_pythons /usr/bin/python3)
  endif()
  foreach(python IN LISTS server_pythons)
    if(python STREQUAL "/usr/bin/python3")
      set(test_name DemoContentServerSystemPython)
    else()
      set(test_name DemoContentServer)
    endif()
    add_test(NAME ${test_name} COMMAND ${python} -m unittest content_server_test
             WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/tools)
    set_tests_properties(${test_name} PROPERTIES TIMEOUT 120
                         ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
  endforeach()
endif()
