# Places a program in the application folder (or a sub-folder of it) and installs it there.
function(parkmarq_app_program target subdir)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PARKMARQ_APP_DIR}/${subdir}")
  install(TARGETS ${target} RUNTIME DESTINATION "parkmarq/${subdir}")
endfunction()

# Adds a sub-folder once it has a CMakeLists.txt of its own.
macro(parkmarq_add_subdirectory_if_present dir)
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
    add_subdirectory(${dir})
  endif()
endmacro()
