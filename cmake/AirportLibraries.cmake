# The airport readers' libraries, as parkmarq_pugixml and parkmarq_zlib.
# Linux: Debian's libpugixml-dev and zlib1g-dev. Windows: zlib from libz-mingw-w64-dev; pugixml compiled
# by the cross compiler from Debian's source package of the very version libpugixml-dev installed, fetched
# once with apt-get source (scripts/install-deps enables Debian's source archive).
if(TARGET parkmarq_pugixml)
  return()
endif()
find_package(ZLIB REQUIRED)
add_library(parkmarq_zlib INTERFACE)
target_link_libraries(parkmarq_zlib INTERFACE ZLIB::ZLIB)

if(NOT WIN32)
  find_package(pugixml REQUIRED)
  add_library(parkmarq_pugixml INTERFACE)
  target_link_libraries(parkmarq_pugixml INTERFACE pugixml::pugixml)
  return()
endif()

set(PARKMARQ_PUGIXML_SOURCE "" CACHE PATH "pugixml's source tree; empty fetches Debian's source package")
set(pugixml_source "${PARKMARQ_PUGIXML_SOURCE}")
if(NOT pugixml_source)
  execute_process(COMMAND dpkg-query -W -f=\${source:Version} libpugixml-dev
                  OUTPUT_VARIABLE pugixml_version RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT pugixml_version)
    message(FATAL_ERROR "libpugixml-dev is not installed: run scripts/install-deps")
  endif()
  string(REGEX REPLACE "-[^-]*$" "" upstream_version "${pugixml_version}")
  set(fetched "${CMAKE_BINARY_DIR}/pugixml-debian")
  set(pugixml_source "${fetched}/pugixml-${upstream_version}")
  if(NOT EXISTS "${pugixml_source}/src/pugixml.cpp")
    file(REMOVE_RECURSE "${fetched}")
    file(MAKE_DIRECTORY "${fetched}")
    message(STATUS "Fetching Debian's source package pugixml ${pugixml_version}")
    execute_process(COMMAND apt-get source --only-source "pugixml=${pugixml_version}"
                    WORKING_DIRECTORY "${fetched}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE fetch_error)
    if(NOT status EQUAL 0 OR NOT EXISTS "${pugixml_source}/src/pugixml.cpp")
      message(FATAL_ERROR "apt-get source pugixml=${pugixml_version} failed (scripts/install-deps enables "
                          "Debian's source archive):\n${fetch_error}")
    endif()
  endif()
endif()
add_library(parkmarq_pugixml STATIC "${pugixml_source}/src/pugixml.cpp")
target_include_directories(parkmarq_pugixml SYSTEM PUBLIC "${pugixml_source}/src")
