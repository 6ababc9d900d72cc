# Warnings for every target of the project; as errors when PARKMARQ_WERROR is on (CI).
function(parkmarq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # GCC 12 at -O3 reports std::string concatenation inlined from libstdc++ as overlapping copies (a
  # known false positive of that release), which would fail every release build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(PARKMARQ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
