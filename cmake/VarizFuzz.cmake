# libFuzzer targets, one per reader of outside bytes (clang, native build only):
#
#   variz_fuzz(<name> SOURCES ... [LIBS ...] [SEEDS <folder or generator>...] [DEPENDS <target>...])
#
# makes `fuzz/<name>_fuzz` in the build folder and the test `Fuzz.<name>` (label `fuzz`), which
# runs it for VARIZ_FUZZ_SECONDS on its seeds. A seed is a folder of inputs (relative to the
# calling folder), or a generator: a Python script that the build runs as `script OUTDIR`.
# DEPENDS names the targets that make seed folders of the build (test_movies). `./fuzz.sh` runs
# a target longer; it finds each target's seed folders in `fuzz/<name>.seeds`.
option(VARIZ_FUZZ "Build the libFuzzer targets (clang, native)" OFF)
set(VARIZ_FUZZ_SECONDS 5 CACHE STRING "How long the test of each fuzz target runs")
# Memory and time per input, for the tests and for fuzz.sh alike. A single allocation beyond the
# malloc limit counts as a crash: no reader may size memory by a length field alone.
set(VARIZ_FUZZ_LIMITS -rss_limit_mb=1024 -malloc_limit_mb=256 -timeout=10)

if(VARIZ_FUZZ)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARIZ_FUZZ needs clang on a native build")
  endif()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  # A fresh list on every configure; a target that went away leaves no stale entry.
  file(GLOB stale ${CMAKE_BINARY_DIR}/fuzz/*.seeds)
  if(stale)
    file(REMOVE ${stale})
  endif()
  list(JOIN VARIZ_FUZZ_LIMITS " " limits)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/limits "${limits}\n")
endif()

function(variz_fuzz name)
  if(NOT VARIZ_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;SEEDS;DEPENDS" ${ARGN})
  set(exe ${name}_fuzz)
  set(out ${CMAKE_BINARY_DIR}/fuzz)
  add_executable(${exe} ${F_SOURCES})
  target_link_libraries(${exe} PRIVATE ${F_LIBS} testsupport)
  target_link_options(${exe} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out})
  if(F_DEPENDS)
    add_dependencies(${exe} ${F_DEPENDS})
  endif()

  set(dirs)
  foreach(seed IN LISTS F_SEEDS)
    get_filename_component(seed ${seed} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(seed MATCHES "\\.py$")
      get_filename_component(stem ${seed} NAME_WE)
      set(dir ${out}/seeds/${name}/${stem})
      add_custom_command(
        OUTPUT ${dir}.stamp
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${dir}
        COMMAND Python3::Interpreter ${seed} ${dir}
        COMMAND ${CMAKE_COMMAND} -E touch ${dir}.stamp
        DEPENDS ${seed}
        COMMENT "Making the seeds ${name}/${stem}")
      add_custom_target(${exe}_${stem} DEPENDS ${dir}.stamp)
      add_dependencies(${exe} ${exe}_${stem})
      list(APPEND dirs ${dir})
    else()
      list(APPEND dirs ${seed})
    endif()
  endforeach()
  list(JOIN dirs "\n" lines)
  file(WRITE ${out}/${name}.seeds "${lines}\n")

  # New inputs go to the first folder: an emptied one of the build, never a seed folder.
  set(work ${out}/test-corpus/${name})
  add_test(NAME Fuzz.${name}
           COMMAND sh -c "rm -rf \"$0\" && exec \"$@\"" ${work} $<TARGET_FILE:${exe}>
                   -max_total_time=${VARIZ_FUZZ_SECONDS} ${VARIZ_FUZZ_LIMITS} -create_missing_dirs=1
                   -artifact_prefix=${out}/artifacts/${name}/
                   ${work} ${dirs})
  set_tests_properties(Fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
