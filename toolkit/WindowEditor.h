// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WindowEditor: the toolkit's base of a plug-in window, free of any plug-in
// format. The plug-in's editor derives from it, creates its CFrame in open()
// and deletes it in close(); a format's adapter forwards its host's window
// calls here (size, open, close, idle, keys, knob mode). GUI thread. Every
// call returns at once: mouse gestures advance one event per idle (see
// CFrame).

#include "toolkit/platform/PlatformWindow.h"

#include <cstdint>

namespace ovinta {

class CFrame;

// Knob modes, as the host's knob-mode opcode numbers them.
enum { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class WindowEditor {
public:
    WindowEditor();
    virtual ~WindowEditor();

    // The window's size in pixels, once setEditorSize was called (else 0).
    int width() const { return editorWidth; }
    int height() const { return editorHeight; }
    // Derived editors create their frame here; the base remembers the parent.
    virtual bool open(void* parentWindow);
    virtual void close();
    virtual void idle(); // host idle: drives the frame
    // Keys from the host: true when a view used the key.
    bool onKeyDown(const CKeyCode& key);
    bool onKeyUp(const CKeyCode& key);
    // Control gestures: a derived editor tells the host (begin/end edit).
    virtual void beginEdit(int index);
    virtual void endEdit(int index);

    CFrame* getFrame() const { return frame; }
    void* getParentWindow() const { return parentWindow; }
    uint32_t getTicks() const;

    static void setKnobMode(int mode);
    static int getKnobMode();
    static uint32_t systemTicks(); // monotonic milliseconds

protected:
    void setEditorSize(int width, int height);

    CFrame* frame = nullptr;      // owned; created by open, deleted by close
    void* parentWindow = nullptr; // host window given to open
    int editorWidth = 0, editorHeight = 0; // pixels
};

} // namespace ovinta
