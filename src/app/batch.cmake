# parkmarq-batch: the build of the window's button, once per row of a stand table. Plain C++, no Qt.
add_executable(parkmarq-batch batch_main.cpp batch_stands.cpp)
target_link_libraries(parkmarq-batch PRIVATE parkmarq_airport parkmarq_application_folder parkmarq_settings parkmarq_build parkmarq_catalogue parkmarq_platform)
parkmarq_warnings(parkmarq-batch)
parkmarq_app_program(parkmarq-batch .)
add_dependencies(parkmarq-batch demo_catalogue)
if(TARGET bglc)
  add_dependencies(parkmarq-batch bglc)
endif()
