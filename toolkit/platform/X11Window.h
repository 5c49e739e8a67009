// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The X11 back-end: a child window of the host's X11 window, on a display
// connection of its own, fed during the editor's idle.

#include "toolkit/platform/PlatformWindow.h"

namespace ovinta {

// Opens a child of the X11 window `parentId` on $DISPLAY; null when no
// display can be opened or the parent does not exist.
std::unique_ptr<PlatformWindow> openX11Window(unsigned long parentId, CPoint size, PlatformEvents& sink);

} // namespace ovinta
