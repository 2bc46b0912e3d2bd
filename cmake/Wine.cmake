# How the Windows tests run: under Wine, in a prefix of the build tree's own, 32-bit Wine for
# the 32-bit build and 64-bit Wine for the 64-bit one.
set(QELV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QELV_WINEARCH win32)
  set(wine_names wine)
  set(wineserver_names wineserver32 wineserver)
else()
  set(QELV_WINEARCH win64)
  set(wine_names wine64)
  set(wineserver_names wineserver64 wineserver)
endif()
# Debian keeps the loaders of both widths in /usr/lib/wine; /usr/bin/wine is a wrapper that
# picks one by itself.
find_program(QELV_WINELOADER NAMES ${wine_names} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QELV_WINESERVER NAMES ${wineserver_names} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QELV_WINELOADER OR NOT QELV_WINESERVER)
  message(WARNING "No Wine for ${QELV_WINEARCH} found: the Windows tests cannot run from this build")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# One Wine session around all Windows tests: the prefix is made and Wine's background processes
# are started once, not before every test (qelv_test makes each test require the fixture).
add_test(NAME wine_session_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start-session)
add_test(NAME wine_session_end COMMAND ${CMAKE_BINARY_DIR}/wine-run --end-session)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_session_end PROPERTIES FIXTURES_CLEANUP wine)
