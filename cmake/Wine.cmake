# The tests of a Windows cross build run under Wine: every test program through build/wine-run, which
# uses a Wine prefix of the build's own and keeps one Wine server alive between programs. Discovery
# of the GoogleTest cases waits until ctest runs, so building never starts Wine; a last test stops the
# server, so no Wine process outlives the tests.
set(PARKMARQ_TEST_PROPERTIES)
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING AND PARKMARQ_TESTS))
  return()
endif()

find_program(PARKMARQ_WINE NAMES wine64 wine HINTS /usr/lib/wine REQUIRED)
find_program(PARKMARQ_WINESERVER NAMES wineserver64 wineserver HINTS /usr/lib/wine REQUIRED)
set(PARKMARQ_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

set(PARKMARQ_TEST_PROPERTIES FIXTURES_REQUIRED wine)
add_test(NAME wine_stop COMMAND "${CMAKE_BINARY_DIR}/wine-run" --stop)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
