// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A headless editor and frame for control tests, recording the gesture
// brackets and listener calls in order.

#include "toolkit/WindowEditor.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovinta {

class RecordingEditor : public WindowEditor, public CControlListener {
public:
    explicit RecordingEditor(int width = 200, int height = 120)
    {
        setEditorSize(width, height);
        frame = new CFrame(CRect(0, 0, width, height), nullptr, this);
    }
    void beginEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int index) override { log.push_back("end " + std::to_string(index)); }
    void valueChanged(CDrawContext*, CControl* c) override
    {
        log.push_back("value " + std::to_string(c->getTag()) + " " + std::to_string(c->getValue()));
        values.push_back(c->getValue());
    }
    HeadlessWindow& window() { return *frame->getHeadless(); }
    // Runs idle calls until the scripted input is used up.
    void runInput()
    {
        for (int i = 0; i < 100 && window().hasPendingInput(); ++i)
            idle();
        idle();
    }

    std::vector<std::string> log;
    std::vector<float> values;
};

inline bool sameColour(CColor a, CColor b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// A film of `frames` frames of w x h, frame f filled with red = 4 f.
inline CBitmap* makeTestFilm(int w, int h, int frames)
{
    CBitmap* b = new CBitmap(w, h * frames);
    CDrawContext dc(b->getSurface());
    for (int f = 0; f < frames; ++f) {
        dc.setFillColor(CColor{static_cast<uint8_t>(4 * f), 20, 30, 255});
        dc.fillRect(CRect(0, f * h, w, (f + 1) * h));
    }
    return b;
}

} // namespace ovinta
