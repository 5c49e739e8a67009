// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// EditorLink: what the host frame needs from the plug-in's window, in the
// host's terms. VstEditorWindow implements it over the format-free editor and
// is registered with the effect (AudioEffect::setEditor); until then the
// effect runs without one and every editor opcode answers 0.
//
// Threads: every call comes from the host's user-interface thread.

struct ERect;

class EditorLink {
public:
    virtual ~EditorLink() = default;

    // ---- Window (host user-interface thread) ---------------------------------
    // Stores a pointer to the editor's own rectangle; false when there is none.
    virtual bool getRect(ERect** rect) = 0;
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    // Keys and knob mode go to the toolkit frame; true when it used them.
    virtual bool onKeyDown(int character, int virtualKey, int modifiers) = 0;
    virtual bool onKeyUp(int character, int virtualKey, int modifiers) = 0;
    virtual bool setKnobMode(int mode) = 0;
};

} // namespace ovinta
