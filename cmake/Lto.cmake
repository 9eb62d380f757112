# Link-time optimisation in optimised builds: the flash and the property
# monitors call across the reference host's modules on every step, and those
# calls are inlined only when the linker sees the modules whole. Whatever
# links a module's objects must be optimised at link time too, so it is set
# for a whole directory (xif_lto_directory) or on a target (xif_lto).
option(XIF_LTO "Link-time optimisation in Release builds" ON)
set(XIF_LTO_ENABLED OFF)
if(XIF_LTO)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT XIF_LTO_ENABLED OUTPUT _xif_lto_why LANGUAGES CXX)
  if(NOT XIF_LTO_ENABLED)
    message(STATUS "xif: no link-time optimisation with this toolchain: ${_xif_lto_why}")
  endif()
endif()

macro(xif_lto_directory)
  if(XIF_LTO_ENABLED)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
endmacro()

function(xif_lto target)
  if(XIF_LTO_ENABLED)
    set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
endfunction()
