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

# A Windows plug-in face other than the VST 2 DLL: the toolkit's classes are
# marked for export from that DLL, and every object using them carries the
# mark. The target links copies of those layers without the marks, whole,
# ahead of the originals (call it before linking them), so that it exports
# its own entry names only.
function(kz_link_without_toolkit_exports target)
  set(internal)
  foreach(layer kz318_plugin kz318_editor kz318_toolkit)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/lib${layer}_${target}.a)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_OBJCOPY} --remove-section .drectve $<TARGET_FILE:${layer}> ${out}
      DEPENDS ${layer} VERBATIM)
    list(APPEND internal ${out})
  endforeach()
  add_custom_target(${target}_internal DEPENDS ${internal})
  add_dependencies(${target} ${target}_internal)
  target_link_libraries(${target} PRIVATE -Wl,--whole-archive ${internal} -Wl,--no-whole-archive)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${internal})
endfunction()

# kz_export_only(target stem): a plug-in library exports only the entry
# names listed in stem.def (Windows) or stem.map (elsewhere), both beside the
# calling CMakeLists.txt.
function(kz_export_only target stem)
  if(WIN32)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${stem}.def)
  else()
    set(map ${CMAKE_CURRENT_SOURCE_DIR}/${stem}.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${map} -Wl,--no-undefined)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  endif()
endfunction()
