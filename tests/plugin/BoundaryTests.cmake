# SPDX-License-Identifier: GPL-3.0-or-later
# The built plug-in library through the binary interface, its exported
# symbols and the vsthost tool.


ovinta_test(host_boundary_test
  HostBoundaryTest.cpp
  HostParametersTest.cpp
  HostSpeakersTest.cpp
  HostAudioTest.cpp
  HostProgramChangeTest.cpp
  HostFailureTest.cpp
  LIBS ovinta_vsthost)
target_compile_definitions(host_boundary_test PRIVATE OVINTA_PLUGIN_PATH="$<TARGET_FILE:ovinta>")
add_dependencies(host_boundary_test ovinta)

add_test(NAME plugin_exports_only_its_entry_point
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-exports.sh $<TARGET_FILE:ovinta>)

add_test(NAME vsthost_describes_the_plugin
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check-vsthost.sh $<TARGET_FILE:vsthost> $<TARGET_FILE:ovinta>
          ${PROJECT_VERSION})
