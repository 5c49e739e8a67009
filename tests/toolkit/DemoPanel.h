// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame laid out like the plug-in window: the background picture and the
// ~70 controls at their places with their films, plus three stand-in screens
// that copy offscreen pictures every redraw. Used by the toolkit tests, the
// artwork preview and the repaint benchmark.

#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

#include <vector>

namespace ovinta {

class CountingListener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override
    {
        ++calls;
        lastTag = control->getTag();
        lastValue = control->getValue();
    }
    int calls = 0;
    int lastTag = -1;
    float lastValue = -1.0f;
};

// Fills `frame` (704 x 560) and returns how many controls it made.
int buildDemoPanel(CFrame* frame, CControlListener* listener);
// Marks every view dirty, as a full idle tick of the editor would.
void markAllDirty(CFrame* frame);

} // namespace ovinta
