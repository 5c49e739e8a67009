// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the X11 back-end's tests, kept here because only this folder
// may include Xlib: a stand-in host window, reading window pixels back,
// synthetic presses, motion, releases and key presses, and child-window
// counts. Not part
// of the plug-in.

#include "toolkit/CRect.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ovinta {

class X11TestHost {
public:
    // Connects to $DISPLAY and opens a mapped top-level window; isOpen()
    // tells whether that worked.
    X11TestHost(int width, int height);
    ~X11TestHost();
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    bool isOpen() const;
    void* parentHandle() const; // the host window id as effEditOpen passes it
    int childCount();           // windows directly inside the host window
    void* lastChild();          // the top-most of them, null when there is none
    // The pixels of `window` (RGB words, 0xRRGGBB), row by row.
    std::vector<uint32_t> readPixels(void* window, int width, int height);
    // Sends a button press (1 = left, 3 = right) at (x, y) of `window`.
    void sendPress(void* window, int x, int y, int button);
    // Sends a motion to (x, y) with `heldButton` down (0: none).
    void sendMotion(void* window, int x, int y, int heldButton);
    // Sends the release of `button` at (x, y).
    void sendRelease(void* window, int x, int y, int button);
    // Sends the press of the key named `keyName` as Xlib names keys
    // ("Return", "BackSpace", "a"); false when the keyboard has no such key.
    bool sendKey(void* window, const char* keyName);
    // Sends a key press for each character of `text` (printable ASCII), with
    // Shift where the keyboard needs it; false when a character has no key.
    bool typeText(void* window, const char* text);
    void sync();
    // Destroys the host window (and with it every child) as a host might
    // before it closes the editor.
    void destroyWindow();

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace ovinta
