# SPDX-License-Identifier: GPL-3.0-or-later
# Settings of the Windows cross-build (toolchains in cmake/toolchains/).
#
# OVINTA_WINDOWS_DEPS: prefix of the static zlib, libpng, FreeType, pixman and
#   cairo built by scripts/build-windows-deps.sh.
# OVINTA_NATIVE_BUILD: a Linux build folder of this tree; its build-time
#   tools (ovinta_embed, ovinta_art) make the embedded font and artwork, so
#   the DLL carries exactly the bytes the Linux plug-in carries.

set(OVINTA_WINDOWS_DEPS "" CACHE PATH "Prefix of the cross-built libraries")
set(OVINTA_NATIVE_BUILD "" CACHE PATH "Linux build folder providing ovinta_embed and ovinta_art")
if(NOT EXISTS "${OVINTA_WINDOWS_DEPS}/lib/libcairo.a")
  message(FATAL_ERROR "OVINTA_WINDOWS_DEPS (${OVINTA_WINDOWS_DEPS}) holds no cross-built cairo: run scripts/build-windows-deps.sh")
endif()

# Static archives only: an import library would make the DLL depend on
# another DLL.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

# The graphics libraries in link order (cairo needs pixman, FreeType, libpng,
# zlib; libpng and FreeType need zlib).
add_library(ovinta_windows_graphics INTERFACE)
set(_deps ${OVINTA_WINDOWS_DEPS})
target_include_directories(ovinta_windows_graphics SYSTEM INTERFACE
  ${_deps}/include/cairo ${_deps}/include/pixman-1 ${_deps}/include/freetype2 ${_deps}/include)
# No dllimport decoration for the static cairo.
target_compile_definitions(ovinta_windows_graphics INTERFACE CAIRO_WIN32_STATIC_BUILD)
target_link_libraries(ovinta_windows_graphics INTERFACE
  ${_deps}/lib/libcairo.a ${_deps}/lib/libpixman-1.a ${_deps}/lib/libfreetype.a
  ${_deps}/lib/libpng16.a ${_deps}/lib/libz.a)

foreach(tool ovinta_embed:toolkit ovinta_art:resources)
  string(REPLACE ":" ";" parts ${tool})
  list(GET parts 0 name)
  list(GET parts 1 folder)
  set(location "${OVINTA_NATIVE_BUILD}/${folder}/${name}")
  if(NOT EXISTS "${location}")
    message(FATAL_ERROR "${location} is missing: build the target ${name} in OVINTA_NATIVE_BUILD first")
  endif()
  add_executable(${name} IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${location}")
endforeach()

# mingw's compilers do not reliably align the stack for 32-byte AVX spills
# (the 64-bit one cannot realign under SEH); unaligned vector moves make the
# AVX2 tap stage safe at any alignment and cost nothing on aligned data.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wa,-muse-unaligned-vector-move>)

# The DLL, the host harness and the tests side by side at the top of the
# build folder: the harness loads "ovinta.dll" from its own folder.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
