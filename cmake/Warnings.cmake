# Warnings are errors on every target of ours, with g++ 12 and clang 14 alike.
function(xif_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
