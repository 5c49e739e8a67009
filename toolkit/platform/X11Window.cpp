// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 back-end. Only this folder includes Xlib.

#include "toolkit/platform/X11Window.h"

#include "toolkit/platform/ExternalFileDialog.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace ovinta {

namespace {

// Presses, releases and all motion (with or without a button held). During
// a press the server's implicit grab sends motion and the release to this
// window even when the pointer is outside it.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            ButtonMotionMask | KeyPressMask | StructureNotifyMask;

// Xlib's default error handler ends the process. Errors on our connection
// (a parent window the host destroyed before closing the editor, say) are
// reported while we read from it, so every call that reads swaps in a
// handler that ignores them and puts the host's back afterwards.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

class ErrorTrap {
public:
    ErrorTrap() : previous(XSetErrorHandler(ignoreXError)) {}
    ~ErrorTrap() { XSetErrorHandler(previous); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    XErrorHandler previous;
};

int modifierBits(unsigned int state)
{
    int bits = 0;
    if (state & ShiftMask)
        bits |= kShift;
    if (state & ControlMask)
        bits |= kControl;
    if (state & Mod1Mask)
        bits |= kAlt;
    if (state & Mod4Mask)
        bits |= kApple;
    return bits;
}

// The toolkit bit of an X button number; 0 for the wheel and extra buttons.
int buttonBit(unsigned int button)
{
    return button == Button1 ? kLButton : button == Button2 ? kMButton : button == Button3 ? kRButton : 0;
}

int buttonBits(unsigned int state)
{
    int bits = 0;
    if (state & Button1Mask)
        bits |= kLButton;
    if (state & Button2Mask)
        bits |= kMButton;
    if (state & Button3Mask)
        bits |= kRButton;
    return bits;
}

CKeyCode keyFromEvent(XKeyEvent& e)
{
    char text[8] = {};
    KeySym sym = 0;
    const int n = XLookupString(&e, text, sizeof text - 1, &sym, nullptr);
    CKeyCode key;
    key.modifiers = modifierBits(e.state);
    switch (sym) {
    case XK_BackSpace: key.virt = kKeyBack; break;
    case XK_Tab: key.virt = kKeyTab; break;
    case XK_Return:
    case XK_KP_Enter: key.virt = kKeyReturn; break;
    case XK_Escape: key.virt = kKeyEscape; break;
    case XK_Left: key.virt = kKeyLeft; break;
    case XK_Right: key.virt = kKeyRight; break;
    case XK_Delete: key.virt = kKeyDelete; break;
    default:
        if (n == 1)
            key.character = static_cast<unsigned char>(text[0]);
        break;
    }
    return key;
}

class X11Window : public PlatformWindow {
public:
    X11Window(Display* d, Window parent, CPoint size, PlatformEvents& s);
    ~X11Window() override;

    void present(const PixelView& pixels, const CRect& dirty) override;
    void processEvents() override;
    uint32_t tickCountMs() override;
    bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) override;
    bool hasFileDialog() override { return externalFileDialogAvailable(); }
    std::unique_ptr<FileDialogSession> startFileDialog(const FileDialogRequest& request) override
    {
        return startExternalFileDialog(request);
    }
    void* nativeHandle() override { return reinterpret_cast<void*>(window); }

private:
    void handle(XEvent& e);
    bool supersededMotion(const XEvent& e);
    void reportLostReleases(CPoint where, unsigned int state);

    Display* display;
    Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;     // our copy of the pixels, in the server's format
    PlatformEvents& sink;
    int width;
    int height;
    int heldButtons = 0; // pressed in this window and not released yet
};

X11Window::X11Window(Display* d, Window parent, CPoint size, PlatformEvents& s)
    : display(d), sink(s), width(size.h), height(size.v)
{
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 BlackPixel(display, screen), BlackPixel(display, screen));
    // No server-side background: exposed areas are filled from our pixels.
    XSetWindowBackgroundPixmap(display, window, None);
    XSelectInput(display, window, kEventMask);
    gc = XCreateGC(display, window, 0, nullptr);
    Visual* visual = DefaultVisual(display, screen);
    const unsigned depth = static_cast<unsigned>(DefaultDepth(display, screen));
    auto* data = static_cast<char*>(std::calloc(static_cast<size_t>(width) * height, 4));
    image = XCreateImage(display, visual, depth, ZPixmap, 0, data, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 32, width * 4);
    if (!image)
        std::free(data);
    XMapWindow(display, window);
    // Wait until the server has made the window: the host (another client)
    // may send to it or read it back as soon as the editor is open.
    ErrorTrap trap;
    XSync(display, False);
}

X11Window::~X11Window()
{
    ErrorTrap trap;
    if (image)
        XDestroyImage(image); // frees the pixel copy too
    if (gc)
        XFreeGC(display, gc);
    if (window)
        XDestroyWindow(display, window);
    XSync(display, False); // collect errors while the trap is set
    XCloseDisplay(display);
}

void X11Window::present(const PixelView& pixels, const CRect& dirty)
{
    const CRect r = dirty.intersect(CRect(0, 0, std::min(width, pixels.width), std::min(height, pixels.height)));
    if (!image || !pixels.data || r.isEmpty())
        return;
    ErrorTrap trap; // Xlib may read replies while it waits to write
    // Cairo's RGB24 words match the usual 24/32-bit TrueColor layout; other
    // visuals go through XPutPixel.
    const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                        image->blue_mask == 0xFF && image->byte_order == LSBFirst;
    for (int y = r.top; y < r.bottom; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(pixels.data + static_cast<ptrdiff_t>(y) * pixels.stride);
        if (direct) {
            std::memcpy(image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line + r.left * 4, in + r.left,
                        static_cast<size_t>(r.width()) * 4);
            continue;
        }
        for (int x = r.left; x < r.right; ++x)
            XPutPixel(image, x, y, in[x] & 0xFFFFFF);
    }
    XPutImage(display, window, gc, image, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.width()),
              static_cast<unsigned>(r.height()));
    XFlush(display);
}

void X11Window::processEvents()
{
    ErrorTrap trap;
    // XPending reads what the server has sent without waiting for more.
    while (XPending(display) > 0) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.xany.window == window && !supersededMotion(e))
            handle(e);
    }
}

void X11Window::reportLostReleases(CPoint where, unsigned int state)
{
    // A button pressed here that the server no longer reports as down came
    // up without a release reaching us (the window lost the pointer grab):
    // report the release now, before the event that showed it.
    const int lost = heldButtons & ~buttonBits(state);
    if (lost == 0)
        return;
    heldButtons &= ~lost;
    sink.platformMouseUp(where, heldButtons | modifierBits(state));
}

bool X11Window::supersededMotion(const XEvent& e)
{
    // A run of motion events with the same buttons and modifiers is one move
    // to its last position; a changed state is always delivered.
    if (e.type != MotionNotify || XEventsQueued(display, QueuedAlready) == 0)
        return false;
    XEvent next;
    XPeekEvent(display, &next); // the queue is not empty: does not wait
    return next.type == MotionNotify && next.xany.window == window && next.xmotion.state == e.xmotion.state;
}

void X11Window::handle(XEvent& e)
{
    switch (e.type) {
    case Expose:
        sink.platformExposed(CRect::fromSize(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height));
        break;
    case ButtonPress: {
        // The state is from before the event: add the new button.
        const int pressed = buttonBit(e.xbutton.button);
        if (!pressed) // wheel "buttons" are not presses
            break;
        const CPoint where(e.xbutton.x, e.xbutton.y);
        reportLostReleases(where, e.xbutton.state);
        heldButtons |= pressed;
        sink.platformMouseDown(where, pressed | buttonBits(e.xbutton.state) | modifierBits(e.xbutton.state));
        break;
    }
    case ButtonRelease: {
        // The state is from before the event: take the released button out.
        const int released = buttonBit(e.xbutton.button);
        if (!released)
            break;
        const CPoint where(e.xbutton.x, e.xbutton.y);
        reportLostReleases(where, e.xbutton.state);
        heldButtons &= ~released;
        sink.platformMouseUp(where, (buttonBits(e.xbutton.state) & ~released) | modifierBits(e.xbutton.state));
        break;
    }
    case MotionNotify: {
        const CPoint where(e.xmotion.x, e.xmotion.y);
        reportLostReleases(where, e.xmotion.state);
        sink.platformMouseMoved(where, buttonBits(e.xmotion.state) | modifierBits(e.xmotion.state));
        break;
    }
    case KeyPress: {
        const CKeyCode key = keyFromEvent(e.xkey);
        if (key.character || key.virt)
            sink.platformKeyDown(key);
        break;
    }
    default:
        break;
    }
}

uint32_t X11Window::tickCountMs()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool X11Window::runFileDialog(const FileDialogRequest& request, std::string& chosenPath)
{
    return runExternalFileDialog(request, chosenPath);
}

} // namespace

std::unique_ptr<PlatformWindow> openX11Window(unsigned long parentId, CPoint size, PlatformEvents& sink)
{
    if (size.h <= 0 || size.v <= 0)
        return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    // A parent id that names no window cannot take a child.
    Status found = 0;
    {
        ErrorTrap trap;
        XWindowAttributes attributes;
        found = XGetWindowAttributes(display, static_cast<Window>(parentId), &attributes);
        XSync(display, False);
    }
    if (!found) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Window>(display, static_cast<Window>(parentId), size, sink);
}

} // namespace ovinta
