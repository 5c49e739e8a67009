// SPDX-License-Identifier: GPL-3.0-or-later
// Chooses the back-end: headless without a parent window, otherwise the
// system's (Win32 on Windows, X11 elsewhere).

#include "toolkit/platform/HeadlessWindow.h"
#include "toolkit/platform/PlatformWindow.h"
#ifdef _WIN32
#include "toolkit/platform/Win32Window.h"
#else
#include "toolkit/platform/X11Window.h"
#endif

#include <cstdint>

namespace ovinta {

std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, CPoint size, PlatformEvents& sink)
{
    if (!parent)
        return std::make_unique<HeadlessWindow>(size, sink);
#ifdef _WIN32
    return openWin32Window(parent, size, sink);
#else
    return openX11Window(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)), size, sink);
#endif
}

} // namespace ovinta
