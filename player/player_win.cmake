# The Windows side of the player: the window library, the program and its Wine tests.
add_library(player_win STATIC
  AppWindow_win.cpp MoviePlay_win.cpp SitePages_win.cpp Umain_win.cpp
  browser/SHDocVw_Zam_win.cpp browser/WebBrowserWithUI_win.cpp
  lock/Uunlock_win.cpp)
target_include_directories(player_win PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/browser ${CMAKE_CURRENT_SOURCE_DIR}/lock)
target_link_libraries(player_win PUBLIC
  player_logic browser_logic downloads_win flash_win controls_win common_win ole32 oleaut32 uuid shell32 shlwapi urlmon)

add_executable(Variz WIN32 Variz_win.cpp res/Variz.rc)
target_link_libraries(Variz PRIVATE player_win)
target_link_options(Variz PRIVATE -municode)
set_target_properties(Variz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VARIZ_DIST})
file(GLOB VARIZ_SKIN_PICTURES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/skin/*.png)
set_property(SOURCE res/Variz.rc APPEND PROPERTY OBJECT_DEPENDS ${VARIZ_SKIN_PICTURES})

variz_test(player_test_win
  SOURCES Umain_test_win.cpp browser/SHDocVw_Zam_test_win.cpp res/Variz.rc LIBS player_win)

# Every delivered program must run from a bare copy of the folder.
add_test(NAME DeliveredProgramsImportOnlySystemDlls
  COMMAND sh ${PROJECT_SOURCE_DIR}/tools/check-imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:Variz>)

# Data files of the installation beside the programs: the shipped movies and the loading picture.
find_program(VARIZ_HOST_PYTHON3 python3 REQUIRED)
file(GLOB VARIZ_SWF_TOOL CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/swf/*.py)
add_custom_command(
  OUTPUT ${VARIZ_DIST}/web/logo.swf ${VARIZ_DIST}/web/load.swf
  COMMAND ${VARIZ_HOST_PYTHON3} ${PROJECT_SOURCE_DIR}/tools/swf/make_swf.py --out ${VARIZ_DIST}
  DEPENDS ${VARIZ_SWF_TOOL}
  COMMENT "Writing the shipped movies")
add_custom_command(
  OUTPUT ${VARIZ_DIST}/web/load.gif
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/res/web/load.gif ${VARIZ_DIST}/web/load.gif
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/web/load.gif)
add_custom_target(dist_data ALL
  DEPENDS ${VARIZ_DIST}/web/logo.swf ${VARIZ_DIST}/web/load.swf ${VARIZ_DIST}/web/load.gif)

# The folder a user copies holds the programs and the data files of the installation.
add_test(NAME DeliveredFolderHoldsProgramsAndDataFiles
  COMMAND sh -c "for f in Variz.exe web/logo.swf web/load.swf web/load.gif; do \
                   test -s \"${VARIZ_DIST}/$f\" || { echo \"missing: $f\"; exit 1; }; done")
