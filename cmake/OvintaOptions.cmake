# SPDX-License-Identifier: GPL-3.0-or-later
# Compiler settings shared by every target of the project.

# The audio path's single-precision sequences must be reproduced exactly on
# every instruction set, so the compiler may not fuse multiplies and adds.
add_compile_options(-ffp-contract=off)

if(OVINTA_SANITIZE)
  add_compile_options(-fsanitize=${OVINTA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${OVINTA_SANITIZE})
endif()

# clang checks the lock annotations (base/ThreadSafety.h): guarded data is
# touched only with its lock held, and every lock taken is given back.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  option(OVINTA_THREAD_SAFETY "Check the lock annotations with clang's -Wthread-safety" ON)
else()
  set(OVINTA_THREAD_SAFETY OFF)
endif()

# ovinta_warnings(target): the project's warning set, errors when OVINTA_WERROR is on.
function(ovinta_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wnull-dereference
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(OVINTA_THREAD_SAFETY)
    target_compile_options(${target} PRIVATE -Wthread-safety)
  endif()
  if(OVINTA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# ovinta_library(name sources...): one static library of a subsystem.
function(ovinta_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  ovinta_warnings(${name})
endfunction()
