# The operating system the build is for decides which platform sources take part: every service has
# one header and one source per system, *_posix.cpp or *_windows.cpp. The Qt window exists only on
# POSIX; on Windows only the console programs and the libraries under them are built.
if(WIN32)
  set(PARKMARQ_SYSTEM windows)
  set(PARKMARQ_OTHER_SYSTEM posix)
else()
  set(PARKMARQ_SYSTEM posix)
  set(PARKMARQ_OTHER_SYSTEM windows)
endif()

# Drops from the list in var the sources that belong to the other system.
function(parkmarq_system_sources var)
  set(sources ${${var}})
  list(FILTER sources EXCLUDE REGEX "_${PARKMARQ_OTHER_SYSTEM}(_test)?\\.cpp$")
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
