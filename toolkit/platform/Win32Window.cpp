// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 back-end. Only this folder includes <windows.h>.
//
// Messages reach the window procedure from the host's message loop (and
// from processEvents, which dispatches what is queued for this window
// only). The procedure paints from our copy of the pixels at once and queues
// input; processEvents hands the queue to the frame, so input arrives during
// the editor's idle, as on the other back-ends.

#include "toolkit/platform/Win32Window.h"

#include "toolkit/platform/Win32Api.h"
#include <windowsx.h>
#include <commdlg.h>

#include "toolkit/platform/Win32Text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace ovinta {

namespace {

// ---- The window class, registered once per loaded DLL ------------------------

// This DLL's own module (never the host's): the class and window belong to it.
HINSTANCE thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

// Two copies of the plug-in (32/64-bit bridges, renamed copies) may share a
// process: the class name carries the module's address.
std::wstring className()
{
    wchar_t name[64];
    std::swprintf(name, 64, L"OvintaEditor%p", static_cast<void*>(thisModule()));
    return name;
}

std::atomic<int> openWindows{0}; // windows of our class; the class goes with the last

// The idle fallback: every kIdleTimerMs the window checks whether the host
// has idled the editor within kIdleSilenceMs, and idles it itself if not.
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleTimerMs = 50;
constexpr uint32_t kIdleSilenceMs = 200;

// ---- Input translation --------------------------------------------------------

int modifierBits(WPARAM keys)
{
    int bits = 0;
    if (keys & MK_SHIFT)
        bits |= kShift;
    if (keys & MK_CONTROL)
        bits |= kControl;
    if (GetKeyState(VK_MENU) < 0)
        bits |= kAlt;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0)
        bits |= kApple;
    return bits;
}

int keyboardModifiers()
{
    WPARAM keys = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0)
        keys |= MK_CONTROL;
    return modifierBits(keys);
}

int buttonBits(WPARAM keys)
{
    int bits = 0;
    if (keys & MK_LBUTTON)
        bits |= kLButton;
    if (keys & MK_MBUTTON)
        bits |= kMButton;
    if (keys & MK_RBUTTON)
        bits |= kRButton;
    return bits;
}

int virtualKey(WPARAM vk)
{
    switch (vk) {
    case VK_BACK: return kKeyBack;
    case VK_TAB: return kKeyTab;
    case VK_RETURN: return kKeyReturn;
    case VK_ESCAPE: return kKeyEscape;
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    case VK_DELETE: return kKeyDelete;
    default: return 0;
    }
}

// One queued input event.
struct Input {
    enum Kind { Down, Moved, Up, Key } kind = Moved;
    CPoint where;
    int state = 0;
    CKeyCode key;
};

class Win32Window : public PlatformWindow {
public:
    Win32Window(HWND parent, CPoint size, PlatformEvents& s);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    bool isValid() const { return window != nullptr && pixels != nullptr; }

    void present(const PixelView& view, const CRect& dirty) override;
    void processEvents() override;
    uint32_t tickCountMs() override;
    bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) override;
    void* nativeHandle() override { return window; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void queue(const Input& input);
    void pressed(int button, WPARAM wParam, LPARAM lParam);
    void released(int button, WPARAM wParam, LPARAM lParam);

    PlatformEvents& sink;
    int width;
    int height;
    std::wstring windowClass;
    HWND window = nullptr;
    HDC memory = nullptr;      // holds the DIB section for blits
    HBITMAP section = nullptr; // our copy of the pixels, top-down BGRX
    HGDIOBJ previousBitmap = nullptr;
    uint8_t* pixels = nullptr;
    int heldButtons = 0;       // pressed in this window and not released yet
    uint32_t lastIdle = 0;     // tick of the last processEvents

    // Input waiting for processEvents; fixed size, nothing allocates per event.
    std::array<Input, 256> pending{};
    size_t pendingCount = 0;
};

Win32Window::Win32Window(HWND parent, CPoint size, PlatformEvents& s)
    : sink(s), width(size.h), height(size.v), windowClass(className())
{
    const HINSTANCE module = thisModule();
    if (openWindows.fetch_add(1, std::memory_order_relaxed) == 0 || !GetClassInfoExW(module, windowClass.c_str(), nullptr)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Win32Window::procedure;
        wc.hInstance = module;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = windowClass.c_str();
        RegisterClassExW(&wc);
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows, as the frame's surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    memory = CreateCompatibleDC(nullptr);
    if (section && memory && bits) {
        pixels = static_cast<uint8_t*>(bits);
        std::memset(pixels, 0, static_cast<size_t>(width) * height * 4);
        previousBitmap = SelectObject(memory, section);
    }

    window = CreateWindowExW(0, windowClass.c_str(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width,
                             height, parent, nullptr, module, this);
    lastIdle = tickCountMs();
    if (window)
        SetTimer(window, kIdleTimer, kIdleTimerMs, nullptr);
}

Win32Window::~Win32Window()
{
    if (window) {
        // The procedure must not reach this object while the window goes.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        KillTimer(window, kIdleTimer);
        if (GetCapture() == window)
            ReleaseCapture();
        if (IsWindow(window))
            DestroyWindow(window);
    }
    if (memory) {
        if (previousBitmap)
            SelectObject(memory, previousBitmap);
        DeleteDC(memory);
    }
    if (section)
        DeleteObject(section);
    if (openWindows.fetch_sub(1, std::memory_order_relaxed) == 1)
        UnregisterClassW(windowClass.c_str(), thisModule());
}

LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32Window*>(create->lpCreateParams);
        self->window = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through the system's frames into the host.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void Win32Window::queue(const Input& input)
{
    // A run of moves with the same buttons and modifiers is one move to its
    // last position.
    if (input.kind == Input::Moved && pendingCount > 0) {
        Input& last = pending[pendingCount - 1];
        if (last.kind == Input::Moved && last.state == input.state) {
            last.where = input.where;
            return;
        }
    }
    if (pendingCount == pending.size()) {
        // Full (the editor has not idled for a long time): keep presses and
        // releases, lose a move.
        if (input.kind == Input::Moved)
            return;
        auto move = std::find_if(pending.begin(), pending.end(), [](const Input& i) { return i.kind == Input::Moved; });
        if (move == pending.end())
            return;
        std::move(move + 1, pending.end(), move);
        --pendingCount;
    }
    pending[pendingCount++] = input;
}

void Win32Window::pressed(int button, WPARAM wParam, LPARAM lParam)
{
    const CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (heldButtons == 0)
        SetCapture(window); // motion and the release come here, inside the window or not
    heldButtons |= button;
    // Text entry needs the keyboard.
    if (GetFocus() != window)
        SetFocus(window);
    queue({Input::Down, where, button | buttonBits(wParam) | modifierBits(wParam), {}});
}

void Win32Window::released(int button, WPARAM wParam, LPARAM lParam)
{
    const CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!(heldButtons & button))
        return; // pressed elsewhere
    heldButtons &= ~button;
    if (heldButtons == 0 && GetCapture() == window)
        ReleaseCapture();
    queue({Input::Up, where, (buttonBits(wParam) & ~button) | modifierBits(wParam), {}});
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // every pixel comes from our copy
    case WM_NCDESTROY:
        // The host destroyed its window (and so ours) before closing the
        // editor: forget the handle, so nothing reaches a reused one.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window = nullptr;
        heldButtons = 0;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc && pixels) {
            const RECT& r = paint.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed(kLButton, wParam, lParam);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        pressed(kMButton, wParam, lParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        pressed(kRButton, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        released(kLButton, wParam, lParam);
        return 0;
    case WM_MBUTTONUP:
        released(kMButton, wParam, lParam);
        return 0;
    case WM_RBUTTONUP:
        released(kRButton, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        queue({Input::Moved, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)),
               buttonBits(wParam) | modifierBits(wParam), {}});
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse during a gesture: its release will
        // never come here, so report it now.
        if (heldButtons != 0 && reinterpret_cast<HWND>(lParam) != window) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(window, &p);
            heldButtons = 0;
            queue({Input::Up, CPoint(p.x, p.y), keyboardModifiers(), {}});
        }
        return 0;
    case WM_TIMER:
        if (wParam == kIdleTimer) {
            if (tickCountMs() - lastIdle >= kIdleSilenceMs)
                sink.platformIdle(); // comes back through processEvents
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS; // dialog hosts must not eat Tab/Return
    case WM_KEYDOWN: {
        CKeyCode key;
        key.virt = virtualKey(wParam);
        key.modifiers = keyboardModifiers();
        if (key.virt)
            queue({Input::Key, {}, 0, key});
        return 0;
    }
    case WM_CHAR: {
        // Characters only: the control keys came as WM_KEYDOWN.
        if (wParam < 0x20 || wParam == 0x7F || wParam > 0xFF)
            return 0;
        CKeyCode key;
        key.character = static_cast<int>(wParam);
        key.modifiers = keyboardModifiers();
        queue({Input::Key, {}, 0, key});
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Win32Window::present(const PixelView& view, const CRect& dirty)
{
    const CRect r = dirty.intersect(CRect(0, 0, std::min(width, view.width), std::min(height, view.height)));
    if (!isValid() || !view.data || r.isEmpty())
        return;
    GdiFlush(); // GDI may still be reading the section
    // The frame's RGB24/ARGB32 words are the DIB's BGRX bytes.
    for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(pixels + (static_cast<ptrdiff_t>(y) * width + r.left) * 4,
                    view.data + static_cast<ptrdiff_t>(y) * view.stride + r.left * 4,
                    static_cast<size_t>(r.width()) * 4);
    if (HDC dc = GetDC(window)) {
        BitBlt(dc, r.left, r.top, r.width(), r.height(), memory, r.left, r.top, SRCCOPY);
        ReleaseDC(window, dc);
    }
}

void Win32Window::processEvents()
{
    lastIdle = tickCountMs();
    if (window == nullptr)
        return; // a null window would make PeekMessage take the host's messages
    // Messages for this window that the host has not dispatched yet (hosts
    // that idle the editor from outside their message loop); other windows'
    // messages stay with the host.
    MSG message;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The sink may open a dialog whose loop queues more input: deliver a
    // snapshot and keep what arrives meanwhile for the next call.
    std::array<Input, 256> batch;
    const size_t count = pendingCount;
    std::copy_n(pending.begin(), count, batch.begin());
    pendingCount = 0;
    for (size_t i = 0; i < count; ++i) {
        const Input& input = batch[i];
        switch (input.kind) {
        case Input::Down: sink.platformMouseDown(input.where, input.state); break;
        case Input::Moved: sink.platformMouseMoved(input.where, input.state); break;
        case Input::Up: sink.platformMouseUp(input.where, input.state); break;
        case Input::Key: sink.platformKeyDown(input.key); break;
        }
    }
}

uint32_t Win32Window::tickCountMs()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool Win32Window::runFileDialog(const FileDialogRequest& request, std::string& chosenPath)
{
    // The common dialog. The initial path is a folder (ending in a
    // separator) or a folder and a file name.
    std::wstring initial = widen(request.initialPath);
    std::replace(initial.begin(), initial.end(), L'/', L'\\');
    std::wstring folder;
    std::wstring file;
    const size_t slash = initial.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        file = initial;
    } else {
        folder = initial.substr(0, slash + 1);
        file = initial.substr(slash + 1);
    }
    std::array<wchar_t, 4096> path{};
    file.copy(path.data(), std::min(file.size(), path.size() - 1));

    // "Name (*.ext)\0*.ext\0All files\0*.*\0\0"
    std::wstring filter;
    const std::wstring extension = widen(request.filterExtension);
    if (!extension.empty()) {
        const std::wstring name = request.filterName.empty() ? extension : widen(request.filterName);
        filter += name + L" (*." + extension + L")" + L'\0' + L"*." + extension + L'\0';
    }
    filter += std::wstring(L"All files (*.*)") + L'\0' + L"*.*" + L'\0' + L'\0';
    const std::wstring title = widen(request.title);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window ? GetAncestor(window, GA_ROOT) : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    BOOL chosen = FALSE;
    if (request.save) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameW(&ofn);
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&ofn);
    }
    if (!chosen)
        return false;
    chosenPath = narrow(path.data());
    return !chosenPath.empty();
}

} // namespace

std::unique_ptr<PlatformWindow> openWin32Window(void* parent, CPoint size, PlatformEvents& sink)
{
    HWND parentWindow = static_cast<HWND>(parent);
    if (size.h <= 0 || size.v <= 0 || !IsWindow(parentWindow))
        return nullptr;
    auto window = std::make_unique<Win32Window>(parentWindow, size, sink);
    if (!window->isValid())
        return nullptr;
    return window;
}

} // namespace ovinta
