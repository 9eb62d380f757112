# The libFuzzer target and its sanitized copy of libxif and the scripted host.

# xif_fuzz_check(<c++ compiler> <var>): TRUE when the compiler links a
# libFuzzer target with the address and undefined-behaviour sanitizers.
function(xif_fuzz_check compiler var)
  string(MAKE_C_IDENTIFIER "XIF_FUZZ_LINKS_${compiler}" key)
  if(NOT DEFINED ${key})
    set(dir ${CMAKE_BINARY_DIR}/CMakeFiles/xif_fuzz_check)
    file(WRITE ${dir}/check.cpp
         "#include <cstddef>\n#include <cstdint>\n"
         "extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n")
    execute_process(COMMAND ${compiler} -fsanitize=fuzzer,address,undefined ${dir}/check.cpp
                            -o ${dir}/check
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0)
      set(${key} TRUE CACHE INTERNAL "")
    else()
      set(${key} FALSE CACHE INTERNAL "")
    endif()
  endif()
  set(${var} ${${key}} PARENT_SCOPE)
endfunction()

# xif_fuzz_target(<source root>): xif_fuzz, built with the current compiler,
# which must be clang.
function(xif_fuzz_target root)
  set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  file(GLOB lib_sources CONFIGURE_DEPENDS ${root}/src/*/*.cpp)
  add_library(xif_fuzz_xif STATIC ${lib_sources} ${root}/tests/host/scripted_host.cpp)
  target_include_directories(xif_fuzz_xif PUBLIC ${root}/include ${root}/tests/host
                             PRIVATE ${root}/src)
  target_compile_definitions(xif_fuzz_xif PRIVATE XIF_BUILDING_LIBRARY)
  target_compile_options(xif_fuzz_xif PRIVATE ${sanitize} -fsanitize=fuzzer-no-link -O1 -g)
  xif_warnings(xif_fuzz_xif)

  add_executable(xif_fuzz ${here}/fuzz_main.cpp ${here}/driver.cpp)
  target_compile_options(xif_fuzz PRIVATE ${sanitize} -fsanitize=fuzzer -O1 -g)
  target_link_options(xif_fuzz PRIVATE ${sanitize} -fsanitize=fuzzer)
  target_link_libraries(xif_fuzz PRIVATE xif_fuzz_xif)
  xif_warnings(xif_fuzz)
endfunction()
