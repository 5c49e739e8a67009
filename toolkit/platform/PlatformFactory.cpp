// Chooses the back-end: headless without a parent window, X11 with one.

#include "toolkit/platform/HeadlessWindow.h"
#include "toolkit/platform/PlatformWindow.h"
#include "toolkit/platform/X11Window.h"

#include <cstdint>

std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, CPoint size, PlatformEvents& sink)
{
    if (!parent)
        return std::make_unique<HeadlessWindow>(size, sink);
    return openX11Window(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)), size, sink);
}
