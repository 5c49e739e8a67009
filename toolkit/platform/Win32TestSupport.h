// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the Win32 back-end's tests, kept here because only this
// folder may include <windows.h>: a stand-in host window with the host's
// message loop, and window counts. Not part of the plug-in.

#include <functional>
#include <memory>

namespace ovinta {

class Win32TestHost {
public:
    // Opens a visible top-level window whose client area is width x height
    // at the top-left of the screen; isOpen() tells whether that worked.
    Win32TestHost(int width, int height, const wchar_t* title);
    ~Win32TestHost();
    Win32TestHost(const Win32TestHost&) = delete;
    Win32TestHost& operator=(const Win32TestHost&) = delete;

    bool isOpen() const;
    void* parentHandle() const; // the HWND as effEditOpen passes it
    // Screen position of the client area's top-left corner.
    void clientOrigin(int& x, int& y) const;
    // Runs the message loop for `ms` milliseconds, calling `idle` about
    // every 20 ms as a host's editor timer does.
    void pump(int ms, const std::function<void()>& idle);
    int childCount() const;        // windows directly inside the host window
    void* firstChild() const;      // the first of them, null when there is none
    // Posts a private message to the host window; takeMark() removes it and
    // tells whether it was still queued (nobody else took it).
    void postMark();
    bool takeMark();
    // Posts a left-button drag to `window`: a press at (x, y), `steps`
    // moves of `dy` pixels each, then the release (as the system would queue them).
    static void postDrag(void* window, int x, int y, int steps, int dy);
    // Windows of this process, top-level or inside others, whose class name
    // starts with `classPrefix`.
    static int windowsOfClass(const wchar_t* classPrefix);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

// Input posted to a window's queue as the system posts it, for tests of
// the back-end's translation. Positions are client pixels.
namespace win32test {
enum class Button { Left, Middle, Right };
enum class Key { Back, Tab, Return, Escape, Left, Right, Delete, F1 };
// `held`: buttons down after the event, as kLButton.. bits; `shift`/`control`: modifier keys down.
void postPress(void* window, Button button, int x, int y, int held, bool shift = false, bool control = false);
void postRelease(void* window, Button button, int x, int y, int held);
void postMove(void* window, int x, int y, int held);
void postKey(void* window, Key key);
void postChar(void* window, int character);
// Another window takes the mouse capture.
void postCaptureLost(void* window);
} // namespace win32test

} // namespace ovinta
