// X11 test helpers: a plain top-level window as the host's parent.

#include "toolkit/platform/X11TestSupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <thread>

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

void X11TestHost::sendPress(void* window, int x, int y, int button)
{
    const auto target = static_cast<Window>(reinterpret_cast<uintptr_t>(window));
    XEvent e{};
    e.xbutton.type = ButtonPress;
    e.xbutton.display = impl->display;
    e.xbutton.window = target;
    e.xbutton.root = DefaultRootWindow(impl->display);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = static_cast<unsigned>(button);
    e.xbutton.same_screen = True;
    XSendEvent(impl->display, target, False, ButtonPressMask, &e);
    XSync(impl->display, False);
}

void X11TestHost::sync() { XSync(impl->display, False); }

void X11TestHost::destroyWindow()
{
    if (impl->window)
        XDestroyWindow(impl->display, impl->window);
    impl->window = 0;
    XSync(impl->display, False);
}
