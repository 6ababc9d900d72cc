# Warnings for every target of the project; as errors when PARKMARQ_WERROR is on (CI).
function(parkmarq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(PARKMARQ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
