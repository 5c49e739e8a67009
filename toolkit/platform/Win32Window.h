// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Win32 back-end: a child window of the host's HWND showing the frame's
// pixels from a DIB section. The host's message loop hands its messages to
// the window procedure, which queues input; the editor's idle delivers it.

#include "toolkit/platform/PlatformWindow.h"

namespace ovinta {

// Opens a child of the window `parent` (an HWND); null when `parent` is no
// window or the child cannot be made.
std::unique_ptr<PlatformWindow> openWin32Window(void* parent, CPoint size, PlatformEvents& sink);

} // namespace ovinta
