// SPDX-License-Identifier: GPL-3.0-or-later
// X11 test helpers: a plain top-level window as the host's parent.

#include "toolkit/platform/X11TestSupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace ovinta {

struct X11TestHost::Impl {
    Display* display = nullptr;
    Window window = 0;
};

X11TestHost::X11TestHost(int width, int height) : impl(std::make_unique<Impl>())
{
    // A server that was just started may refuse the first connections.
    for (int attempt = 0; attempt < 40 && !impl->display; ++attempt) {
        impl->display = XOpenDisplay(nullptr);
        if (!impl->display)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!impl->display)
        return;
    const int screen = DefaultScreen(impl->display);
    impl->window = XCreateSimpleWindow(impl->display, RootWindow(impl->display, screen), 0, 0,
                                       static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                       BlackPixel(impl->display, screen), WhitePixel(impl->display, screen));
    XSelectInput(impl->display, impl->window, StructureNotifyMask);
    XMapWindow(impl->display, impl->window);
    // Wait until the server has mapped it, so children can be drawn at once.
    XEvent e;
    do
        XNextEvent(impl->display, &e);
    while (e.type != MapNotify);
}

X11TestHost::~X11TestHost()
{
    if (!impl->display)
        return;
    destroyWindow();
    XCloseDisplay(impl->display);
}

bool X11TestHost::isOpen() const { return impl->display && impl->window; }

void* X11TestHost::parentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(impl->window)); }

int X11TestHost::childCount()
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XSync(impl->display, False);
    if (!XQueryTree(impl->display, impl->window, &root, &parent, &children, &count))
        return -1;
    if (children)
        XFree(children);
    return static_cast<int>(count);
}

void* X11TestHost::lastChild()
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XSync(impl->display, False);
    if (!XQueryTree(impl->display, impl->window, &root, &parent, &children, &count))
        return nullptr;
    const Window last = count > 0 ? children[count - 1] : 0;
    if (children)
        XFree(children);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(last));
}

std::vector<uint32_t> X11TestHost::readPixels(void* window, int width, int height)
{
    std::vector<uint32_t> out;
    XSync(impl->display, False);
    XImage* image = XGetImage(impl->display, static_cast<Window>(reinterpret_cast<uintptr_t>(window)), 0, 0,
                              static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return out;
    out.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return out;
}

namespace {
unsigned int buttonMask(int button)
{
    return button == 1 ? Button1Mask : button == 2 ? Button2Mask : button == 3 ? Button3Mask : 0;
}

// A button or motion event for `window` at (x, y), sent and flushed.
void sendPointerEvent(Display* display, Window window, int type, int x, int y, unsigned int button, unsigned int state,
                      long mask)
{
    XEvent e{};
    e.type = type;
    if (type == MotionNotify) {
        e.xmotion.display = display;
        e.xmotion.window = window;
        e.xmotion.root = DefaultRootWindow(display);
        e.xmotion.x = x;
        e.xmotion.y = y;
        e.xmotion.state = state;
        e.xmotion.same_screen = True;
    } else {
        e.xbutton.display = display;
        e.xbutton.window = window;
        e.xbutton.root = DefaultRootWindow(display);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = button;
        e.xbutton.state = state;
        e.xbutton.same_screen = True;
    }
    XSendEvent(display, window, False, mask, &e);
    XSync(display, False);
}

Window windowId(void* window) { return static_cast<Window>(reinterpret_cast<uintptr_t>(window)); }
} // namespace

void X11TestHost::sendPress(void* window, int x, int y, int button)
{
    sendPointerEvent(impl->display, windowId(window), ButtonPress, x, y, static_cast<unsigned>(button), 0,
                     ButtonPressMask);
}

void X11TestHost::sendMotion(void* window, int x, int y, int heldButton)
{
    sendPointerEvent(impl->display, windowId(window), MotionNotify, x, y, 0, buttonMask(heldButton),
                     PointerMotionMask);
}

void X11TestHost::sendRelease(void* window, int x, int y, int button)
{
    // The state of a button event is from before it: the button is still down.
    sendPointerEvent(impl->display, windowId(window), ButtonRelease, x, y, static_cast<unsigned>(button),
                     buttonMask(button), ButtonReleaseMask);
}

namespace {
// A key press of `sym` for `window`, with Shift when the key gives `sym`
// only shifted. False when no key of the keyboard gives it.
bool sendKeyPress(Display* display, Window window, KeySym sym)
{
    const KeyCode code = XKeysymToKeycode(display, sym);
    if (code == 0)
        return false;
    int perCode = 0;
    KeySym* syms = XGetKeyboardMapping(display, code, 1, &perCode);
    unsigned int state = 0;
    if (syms != nullptr && perCode > 1 && syms[0] != sym && syms[1] == sym)
        state = ShiftMask;
    if (syms != nullptr)
        XFree(syms);
    XEvent e{};
    e.type = KeyPress;
    e.xkey.display = display;
    e.xkey.window = window;
    e.xkey.root = DefaultRootWindow(display);
    e.xkey.keycode = code;
    e.xkey.state = state;
    e.xkey.same_screen = True;
    XSendEvent(display, window, False, KeyPressMask, &e);
    return true;
}
} // namespace

bool X11TestHost::sendKey(void* window, const char* keyName)
{
    const KeySym sym = XStringToKeysym(keyName);
    const bool sent = sym != NoSymbol && sendKeyPress(impl->display, windowId(window), sym);
    XSync(impl->display, False);
    return sent;
}

bool X11TestHost::typeText(void* window, const char* text)
{
    bool sent = true;
    // Printable ASCII characters are their own keysyms.
    for (const char* c = text; *c != '\0'; ++c)
        sent &= *c >= 0x20 && *c < 0x7F && sendKeyPress(impl->display, windowId(window), static_cast<KeySym>(*c));
    XSync(impl->display, False);
    return sent;
}

void X11TestHost::sync() { XSync(impl->display, False); }

void X11TestHost::destroyWindow()
{
    if (impl->window)
        XDestroyWindow(impl->display, impl->window);
    impl->window = 0;
    XSync(impl->display, False);
}

} // namespace ovinta
