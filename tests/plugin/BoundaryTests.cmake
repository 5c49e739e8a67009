# Host-boundary tests: the effect object at the C++ level, the built plug-in
# library through the binary interface, its exported symbols, the record
# layouts on other targets and the vsthost tool.

ovinta_test(effect_vst_test EffectVSTTest.cpp LIBS ovinta_plugin)
ovinta_test(effect_concurrency_test EffectConcurrencyTest.cpp LIBS ovinta_plugin LABELS concurrency)

ovinta_test(host_boundary_test
  HostBoundaryTest.cpp
  HostParametersTest.cpp
  HostSpeakersTest.cpp
  HostAudioTest.cpp
  LIBS ovinta_vsthost)
target_compile_definitions(host_boundary_test PRIVATE OVINTA_PLUGIN_PATH="$<TARGET_FILE:ovinta>")
add_dependencies(host_boundary_test ovinta)

add_test(NAME plugin_exports_only_its_entry_point
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-exports.sh $<TARGET_FILE:ovinta>)

add_test(NAME vsthost_describes_the_plugin
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-vsthost.sh $<TARGET_FILE:vsthost> $<TARGET_FILE:ovinta>)

# The binary records must have their published sizes on 32-bit and 64-bit
# targets alike; clang can check that without the targets' libraries.
find_program(OVINTA_CLANGXX NAMES clang++)
if(OVINTA_CLANGXX)
  foreach(target i686-linux-gnu x86_64-linux-gnu armv7-linux-gnueabihf aarch64-linux-gnu)
    add_test(NAME vst2_layout_${target}
      COMMAND ${OVINTA_CLANGXX} --target=${target} -std=c++20 -ffreestanding -nostdinc++
        -isystem ${CMAKE_CURRENT_SOURCE_DIR}/freestanding -I${PROJECT_SOURCE_DIR}
        -fsyntax-only ${CMAKE_CURRENT_SOURCE_DIR}/Vst2LayoutCheck.cpp)
  endforeach()
endif()
