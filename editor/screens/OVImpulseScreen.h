// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVImpulseScreen: the 408 x 80 strip under the main screen (tag 58) that
// shows the current response as it builds: the volume panel (how loud each
// arrival is) on the left and the filter panel (how much high frequency each
// arrival keeps) on the right, both against arrival time at 64 pixels per
// second. Each arrival is one ray slot's latest posted tap.
//
// Newly posted taps start a pass: both panels are repainted from their
// background and then get 32 rays per draw, so a pass over n rays takes
// ceil(n / 32) draws and shows one snapshot. Taps posted while a pass runs
// keep their flags and start the next pass. Between passes the panels are
// only copied to the window. The editor marks the screen dirty at every
// timed idle step. GUI thread only; no mouse.

#include "core/EditorPort.h"
#include "toolkit/CControl.h"
#include "toolkit/COffscreenContext.h"

namespace ovinta {

class CBitmap;
class EditorPort;

class OVImpulseScreen : public CControl {
public:
    static constexpr int kPanelWidth = 200;
    static constexpr int kPanelHeight = 80;
    static constexpr int kFilterPanelOffset = 208; // filter panel's left edge, from the volume panel's
    static constexpr int kRaysPerDraw = 32;

    // `panels` (200 x 160: the volume panel's background above the filter
    // panel's) is borrowed from the editor; null paints the panels black.
    OVImpulseScreen(const CRect& size, CControlListener* listener, int tag, EditorPort& port,
                    CBitmap* panels);
    ~OVImpulseScreen() override;

    void draw(CDrawContext* context) override;

    // Slots still to draw in the current pass; 0 or less when idle.
    int passProgress() const { return progress; }

private:
    bool startPass();
    void drawBatch();
    void drawRay(const TapArrival& tap, float samplesPerPixel, bool reverse, int longestTap);

    EditorPort& port;
    CBitmap* panels;               // borrowed, held by the editor
    COffscreenContext volumePanel; // 200 x 80
    COffscreenContext filterPanel; // 200 x 80
    int progress = -1;             // slots left in the pass, <= 0 idle
    TapArrival batch[kRaysPerDraw]; // the taps of one draw
};

} // namespace ovinta
