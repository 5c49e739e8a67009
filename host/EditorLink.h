#pragma once

namespace ovinta {

// EditorLink: what the host frame needs from the plug-in's editor. The editor
// implements it and registers itself with the effect (AudioEffect::setEditor);
// until then the effect runs without one and every editor opcode answers 0.
//
// Threads: the window calls (getRect .. setKnobMode) come from the host's
// user-interface thread. setParameter is called after every parameter change,
// from whichever thread made it (host automation, program change, the editor
// itself), so the editor only records the value there and redraws at idle.
// The pin-menu calls come from applyOutputConfiguration, which the editor
// runs from its own idle while its window is open, and the effect runs on the
// host's thread after a state change while it is not.

struct ERect;

class EditorLink {
public:
    virtual ~EditorLink() = default;

    // ---- Window (host user-interface thread) ---------------------------------
    // Stores a pointer to the editor's own rectangle; false when there is none.
    virtual bool getRect(ERect** rect) = 0;
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0; // the window is open (between open and close)
    virtual void idle() = 0;
    // Keys and knob mode go to the toolkit frame; true when it used them.
    virtual bool onKeyDown(int character, int virtualKey, int modifiers) = 0;
    virtual bool onKeyUp(int character, int virtualKey, int modifiers) = 0;
    virtual bool setKnobMode(int mode) = 0;

    // ---- Parameter follow (any non-audio thread) ------------------------------
    // Moves the control whose tag is `index` to `value`.
    virtual void setParameter(int index, float value) = 0;

    // ---- Output configuration (editor idle) -----------------------------------
    // Replaces the entries of input pin menu `menu` (0 source 1, 1 source 2) with
    // `names` (count 0 empties it).
    virtual void setInputPinMenu(int menu, const char* const* names, int count) = 0;
    // The input menu `menu` is in use: refresh the display of its parameter.
    virtual void refreshInputPin(int menu) = 0;
    // Replaces the entries of output pin menu `role` (0 L, 1 R, 2 Ls, 3 Rs, 4 C).
    virtual void setOutputPinMenu(int role, const char* const* names, int count) = 0;
};

} // namespace ovinta
