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

# kz_layer(name SOURCES ... USES ...): one layer of src/ as a static library
# that links only the layers below it, given in USES.
function(kz_layer name)
  cmake_parse_arguments(LAYER "" "" "SOURCES;USES" ${ARGN})
  add_library(${name} STATIC ${LAYER_SOURCES})
  target_link_libraries(${name} PUBLIC ${LAYER_USES})
endfunction()

# kz_program(name sources...): a program of the project placed in the build
# directory, self-contained on Windows.
function(kz_program name)
  add_executable(${name} ${ARGN})
  kz_static_runtime(${name})
  kz_output_here(${name})
endfunction()

# Every test runs under a time limit, so that a hang fails its test instead
# of stalling make test; a test may set a longer one itself. Call at the end
# of each CMakeLists.txt that adds tests; the ctest entry test-timeouts
# (tests/timeout-check) fails on any test left without a limit.
set(KZ_TEST_TIMEOUT 300)
function(kz_test_timeouts)
  get_directory_property(tests TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} TIMEOUT limit)
    if(NOT limit)
      set_tests_properties(${test} PROPERTIES TIMEOUT ${KZ_TEST_TIMEOUT})
    endif()
  endforeach()
endfunction()
