# The structure the sources keep. First the layers' dependency rule, checked on the compiler itself:
# a layer's sources are compiled with the include roots of that layer and the layers below, so a
# header from a layer above is not found.
# Each probe is a one-line source compiled as a layer's source would be; every header compiles on
# its own layer's roots, and an include that runs back up must fail.
set(probe_dir ${CMAKE_BINARY_DIR}/layer_probes)

function(moravel_layer_probe layer header expectation)
  string(MAKE_C_IDENTIFIER "${layer}_${header}" name)
  file(WRITE ${probe_dir}/${name}.cpp "#include \"${header}\"\n")
  if(layer STREQUAL "platform")
    set(target moravel_platform_api)
  else()
    set(target moravel_${layer})
  endif()
  add_test(NAME layer_${name}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${target},INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
                   ${probe_dir}/${name}.cpp
           COMMAND_EXPAND_LISTS)
  set_tests_properties(layer_${name} PROPERTIES LABELS "unit;layers")
  if(expectation STREQUAL "refused")
    set_tests_properties(layer_${name} PROPERTIES WILL_FAIL TRUE)
  endif()
endfunction()

# Every header of every layer stands on its own layer.
foreach(layer platform textures effects timeline shell)
  file(GLOB headers RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${layer}/*.h)
  foreach(header ${headers})
    moravel_layer_probe(${layer} ${header} compiles)
  endforeach()
endforeach()

# One step up from each layer is refused, and so is the shell from anywhere below it.
moravel_layer_probe(platform textures/textures.h refused)
moravel_layer_probe(textures effects/pictures.h refused)
moravel_layer_probe(textures shell/master.h refused)
moravel_layer_probe(effects timeline/schedule.h refused)
moravel_layer_probe(effects shell/master.h refused)
moravel_layer_probe(timeline shell/master.h refused)

# One layout everywhere: every tracked C++ file as .clang-format lays it out.
find_program(CLANG_FORMAT clang-format)
if(CLANG_FORMAT)
  add_test(NAME format
           COMMAND sh -c "git ls-files -z '*.cpp' '*.h' | xargs -0 -r '${CLANG_FORMAT}' --dry-run --Werror"
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(format PROPERTIES LABELS unit)
endif()
