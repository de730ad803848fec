# One subsystem folder, one call:
#
#   variz_folder([SOURCES ...] [LIBS ...] [WIN_SOURCES ...] [WIN_LIBS ...])
#
# makes the folder's portable logic library and, on Windows, its `_win` library beside it. The
# names come from the folder's path: common/net gives `common_net` and `common_net_win`. The
# logic library is an interface library when the folder has headers only; the `_win` library
# links the logic library and exists only where there are Windows sources. Both publish the
# folder as an include directory. No folder adds sources to another folder's targets.
function(variz_folder)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;WIN_SOURCES;WIN_LIBS" ${ARGN})
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" name ${rel})

  if(F_SOURCES)
    add_library(${name} STATIC ${F_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${F_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${F_LIBS})
  endif()

  if(WIN32 AND F_WIN_SOURCES)
    add_library(${name}_win STATIC ${F_WIN_SOURCES})
    target_include_directories(${name}_win PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name}_win PUBLIC ${name} ${F_WIN_LIBS})
  endif()
  set(VARIZ_FOLDER_NAME ${name} PARENT_SCOPE)
endfunction()

# A GoogleTest program whose cases become tests; Windows ones run under Wine. PROPERTIES go to
# every case (e.g. the demo server fixture of cmake/DemoServerFixture.cmake).
function(variz_test name)
  if(NOT VARIZ_RUNS_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} testsupport GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()

# A Google Benchmark program of the native build: it prints its ratios and is never a test.
function(variz_benchmark name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  endif()
endfunction()
