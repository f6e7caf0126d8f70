# Shared helpers for the targets of the project.

# Windows binaries carry their C and C++ runtime inside: nothing but system
# DLLs has to sit beside them.
function(kz_static_runtime target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# Places a binary directly in the build directory (build/<preset>/name).
function(kz_output_here target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${KZ_OUT}
    LIBRARY_OUTPUT_DIRECTORY ${KZ_OUT}
    ARCHIVE_OUTPUT_DIRECTORY ${KZ_OUT})
endfunction()
