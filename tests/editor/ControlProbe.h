// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for testing single controls: a headless frame to put them in, a
// listener that records what it hears, and films whose frames are told
// apart by colour.

#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <memory>
#include <vector>

namespace ovinta {

// Records every value a control reports.
class RecordingListener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override { values.push_back(control->getValue()); }
    std::vector<float> values;
};

// A film of `frames` frames of width x frameHeight; frame i is filled with
// red = i, green = 255 - i, blue = 77, so a pixel tells which frame is shown.
inline CBitmap* numberedFilm(int width, int frameHeight, int frames)
{
    auto* film = new CBitmap(width, frameHeight * frames);
    CDrawContext paint(film->getSurface());
    for (int i = 0; i < frames; ++i) {
        paint.setFillColor(CColor{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 77, 255});
        paint.fillRect(CRect::fromSize(0, i * frameHeight, width, frameHeight));
    }
    return film;
}

// The film frame a numbered film shows at (x, y) of a picture.
inline int frameShownAt(const CDrawContext& picture, int x, int y)
{
    return picture.getPixel(x, y).red;
}

// A headless frame of the given size without an editor.
class ProbeFrame {
public:
    explicit ProbeFrame(int width = 200, int height = 200)
        : frame(std::make_unique<CFrame>(CRect(0, 0, width, height), nullptr, nullptr))
    {
    }
    CFrame& get() { return *frame; }
    HeadlessWindow& window() { return *frame->getHeadless(); }
    // One host idle: delivers the queued input and redraws.
    void run() { frame->idle(); }

private:
    std::unique_ptr<CFrame> frame;
};

} // namespace ovinta
