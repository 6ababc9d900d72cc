# GoogleTest: Debian's library on Linux; for Windows built from Debian's googletest source package by
# the same cross toolchain, so the tests link against a library made for the target.
include(GoogleTest)
if(NOT WIN32)
  find_package(GTest REQUIRED)
  return()
endif()

set(PARKMARQ_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest's source tree (Debian package googletest)")
if(NOT EXISTS "${PARKMARQ_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "No GoogleTest source at ${PARKMARQ_GOOGLETEST_SOURCE}: install the googletest package")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory("${PARKMARQ_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
