// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EditorFollower: what the core tells an attached editor. The editor
// implements it and registers with PluginCore::attachEditor; without one the
// core runs alone.
//
// Threads: isOpen from any thread. followParameter from the editor's own
// thread, when it takes the changes posted to the mirror. The pin-menu calls come from
// applyOutputConfiguration when the editor's own idle runs it (the editor
// passes itself there); never from another thread.

namespace ovinta {

class EditorFollower {
public:
    virtual ~EditorFollower() = default;

    // The window is open (between open and close).
    virtual bool isOpen() const = 0;

    // ---- Parameter follow (editor thread) -----------------------------------------
    // Moves the controls of `tag` to a change taken from the parameter mirror.
    virtual void followParameter(int tag, float value) = 0;

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
