// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// EqEditLink: what the EQ view needs to change the equaliser the way its
// knobs do. A band drag sets values through the port's parameter entry
// (the engine redesigns the band and the knob follows) and has the editor
// report the knobs to the host as automation, inside begin/end edit.
// The editor supplies it (EditorEqLink); tests record the calls.
// GUI thread only.

class EqEditLink {
public:
    virtual ~EqEditLink() = default;

    // The stored raw value of parameter `index` (0..1 for the EQ bands).
    virtual float getParameter(int index) = 0;
    // Sets parameter `index` through the port: engine, program, knob.
    virtual void setParameter(int index, float value) = 0;
    // Gesture brackets around the reports of parameter `index`.
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;
    // The knob of `index` tells the host its value (automation).
    virtual void reportKnob(int index) = 0;
};

} // namespace ovinta
