#pragma once
// AEffGUIEditor: the toolkit's editor base. The plug-in's editor derives from
// it, creates its CFrame in open() and deletes it in close(). It stays free of
// the plug-in's host headers: the editor layer forwards the host's editor
// opcodes here (getRect, open, close, idle, key presses) and overrides
// beginEdit/endEdit to reach the host. open, close, idle and setParameter are
// virtual with the signatures the host link uses, so one override serves
// both; getRect and the key calls take toolkit types and are not virtual, so
// the editor's host-typed versions do not hide them. GUI thread, except
// setParameter, which the effect may call from any thread. Every call returns
// at once: mouse gestures advance one event per idle (see CFrame).

#include "toolkit/platform/PlatformWindow.h"

#include <cstdint>

namespace ovinta {

class CFrame;

// The host's editor rectangle record: int16 top, left, bottom, right.
struct EditorRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(EditorRect) == 8);

// Knob modes, as the host's knob-mode opcode numbers them.
enum { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class AEffGUIEditor {
public:
    AEffGUIEditor();
    virtual ~AEffGUIEditor();

    // The editor's size: (0, 0)-(width, height) once setEditorSize was called.
    bool getRect(EditorRect** rect);
    // Derived editors create their frame here; the base remembers the parent.
    virtual bool open(void* parentWindow);
    virtual void close();
    virtual void idle(); // host idle: drives the frame
    // Keys from the host: true when a view used the key.
    bool onKeyDown(const CKeyCode& key);
    bool onKeyUp(const CKeyCode& key);
    // Parameter changes coming from the effect.
    virtual void setParameter(int index, float value);

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
    EditorRect rect{0, 0, 0, 0};
};

} // namespace ovinta
