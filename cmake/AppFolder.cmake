# An installed copy of the application folder carries this file: nobody works in it (see Package.cmake).
set(PARKMARQ_INSTALLED_MARKER "parkmarq.installed")

# Places a program in the application folder (or a sub-folder of it) and installs it there.
function(parkmarq_app_program target subdir)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PARKMARQ_APP_DIR}/${subdir}")
  install(TARGETS ${target} RUNTIME DESTINATION "${PARKMARQ_INSTALL_APP_DIR}/${subdir}")
endfunction()

# Adds a sub-folder once it has a CMakeLists.txt of its own.
macro(parkmarq_add_subdirectory_if_present dir)
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
    add_subdirectory(${dir})
  endif()
endmacro()

# A static library of every .cpp in the current folder that is meant for the target system; none is
# made while the folder has no source yet.
function(parkmarq_library name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  parkmarq_system_sources(sources)
  foreach(excluded ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${excluded}")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    parkmarq_warnings(${name})
  endif()
endfunction()
