// SPDX-License-Identifier: GPL-3.0-or-later
// Win32 test helpers: a host window and its message loop.

#include "toolkit/platform/Win32TestSupport.h"

#include "toolkit/CRect.h"

#include "toolkit/platform/Win32Api.h"

#include <cwchar>

namespace ovinta {

struct Win32TestHost::Impl {
    HWND window = nullptr;
};

namespace {
const wchar_t* const kClass = L"OvintaTestHost";

LRESULT CALLBACK hostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct ClassCount {
    const wchar_t* prefix;
    int count;
};

BOOL CALLBACK countChild(HWND hwnd, LPARAM data)
{
    auto* c = reinterpret_cast<ClassCount*>(data);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (std::wcsncmp(name, c->prefix, std::wcslen(c->prefix)) == 0)
        ++c->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND hwnd, LPARAM data)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    countChild(hwnd, data);
    EnumChildWindows(hwnd, countChild, data); // every descendant
    return TRUE;
}
} // namespace

Win32TestHost::Win32TestHost(int width, int height, const wchar_t* title) : impl(std::make_unique<Impl>())
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = hostProcedure;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, style, FALSE);
    impl->window = CreateWindowExW(0, kClass, title, style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                                   nullptr, module, nullptr);
    if (impl->window) {
        ShowWindow(impl->window, SW_SHOWNORMAL);
        UpdateWindow(impl->window);
    }
}

Win32TestHost::~Win32TestHost()
{
    if (impl->window)
        DestroyWindow(impl->window);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
}

bool Win32TestHost::isOpen() const { return impl->window != nullptr; }

void* Win32TestHost::parentHandle() const { return impl->window; }

void Win32TestHost::clientOrigin(int& x, int& y) const
{
    POINT p{0, 0};
    ClientToScreen(impl->window, &p);
    x = p.x;
    y = p.y;
}

void Win32TestHost::pump(int ms, const std::function<void()>& idle)
{
    const DWORD start = GetTickCount();
    DWORD lastIdle = start - 100;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD now = GetTickCount();
        if (now - lastIdle >= 20) {
            lastIdle = now;
            if (idle)
                idle();
        }
        if (now - start >= static_cast<DWORD>(ms))
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int Win32TestHost::childCount() const
{
    int count = 0;
    for (HWND child = GetWindow(impl->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++count;
    return count;
}

int Win32TestHost::windowsOfClass(const wchar_t* classPrefix)
{
    ClassCount c{classPrefix, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

void* Win32TestHost::firstChild() const
{
    return GetWindow(impl->window, GW_CHILD);
}

void Win32TestHost::postMark()
{
    PostMessageW(impl->window, WM_APP + 7, 0, 0);
}

bool Win32TestHost::takeMark()
{
    MSG message;
    return PeekMessageW(&message, impl->window, WM_APP + 7, WM_APP + 7, PM_REMOVE) != 0;
}

void Win32TestHost::postDrag(void* window, int x, int y, int steps, int dy)
{
    HWND hwnd = static_cast<HWND>(window);
    const auto at = [](int px, int py) { return MAKELPARAM(static_cast<WORD>(px), static_cast<WORD>(py)); };
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    for (int i = 1; i <= steps; ++i)
        PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(x, y + i * dy));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at(x, y + steps * dy));
}

namespace win32test {
namespace {
WPARAM keysOf(int held, bool shift, bool control)
{
    WPARAM keys = 0;
    if (held & kLButton)
        keys |= MK_LBUTTON;
    if (held & kMButton)
        keys |= MK_MBUTTON;
    if (held & kRButton)
        keys |= MK_RBUTTON;
    if (shift)
        keys |= MK_SHIFT;
    if (control)
        keys |= MK_CONTROL;
    return keys;
}
LPARAM at(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}
} // namespace

void postPress(void* window, Button button, int x, int y, int held, bool shift, bool control)
{
    const UINT message = button == Button::Left ? WM_LBUTTONDOWN : button == Button::Middle ? WM_MBUTTONDOWN : WM_RBUTTONDOWN;
    PostMessageW(static_cast<HWND>(window), message, keysOf(held, shift, control), at(x, y));
}

void postRelease(void* window, Button button, int x, int y, int held)
{
    const UINT message = button == Button::Left ? WM_LBUTTONUP : button == Button::Middle ? WM_MBUTTONUP : WM_RBUTTONUP;
    PostMessageW(static_cast<HWND>(window), message, keysOf(held, false, false), at(x, y));
}

void postMove(void* window, int x, int y, int held)
{
    PostMessageW(static_cast<HWND>(window), WM_MOUSEMOVE, keysOf(held, false, false), at(x, y));
}

void postKey(void* window, Key key)
{
    static const WPARAM codes[] = {VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_DELETE, VK_F1};
    PostMessageW(static_cast<HWND>(window), WM_KEYDOWN, codes[static_cast<int>(key)], 1);
}

void postChar(void* window, int character)
{
    PostMessageW(static_cast<HWND>(window), WM_CHAR, static_cast<WPARAM>(character), 1);
}

void postCaptureLost(void* window)
{
    // lParam: the window that takes the capture (some other one).
    PostMessageW(static_cast<HWND>(window), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(GetDesktopWindow()));
}
} // namespace win32test

} // namespace ovinta
