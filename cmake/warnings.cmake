# Warnings are errors in the project's own code. Targets opt in with
# korvel_warnings(target), so third-party sources (GoogleTest in the Windows
# build) keep their own settings.
function(korvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()
