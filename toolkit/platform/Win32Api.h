// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// <windows.h> as the Win32 back-end includes it: without the parts it never
// uses, and without the min and max macros, which break std::min and std::max.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace ovinta {


} // namespace ovinta
