// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVMeterScreen: the 92 x 92 surround meter and panner (tag 53), a top view
// of the speakers: 1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right,
// 5 (centre) top middle. For each output in use a striped fan shows the
// panner's gain to it and a solid fan over it the output's peak level (60 dB
// of range); a yellow ring, the puck, marks the panner position.
//
// The peaks are raised by the audio thread and decayed here, by the time
// between two draws; the editor marks the screen dirty at every idle call.
// Dragging the puck moves the panner; the editor reports the position as
// parameters 21 and 22, bracketed by begin and end edit. GUI thread only.

#include "toolkit/CControl.h"
#include "toolkit/COffscreenContext.h"

#include <cstdint>

namespace ovinta {

class CBitmap;
class OvintaEditor;
class EditorPort;

// The pictures the meter draws, borrowed from the editor (null: not drawn).
struct MeterPictures {
    CBitmap* background = nullptr;     // 92 x 92
    CBitmap* labels[5] = {};           // speakers 1..4 (12 x 12) and 5 (22 x 8)
    CBitmap* stripesFalling = nullptr; // 46 x 46 gain fan of speakers 1 and 4
    CBitmap* stripesRising = nullptr;  // 46 x 46 gain fan of speakers 2 and 3
    CBitmap* centreStripes = nullptr;  // 18 x 40 gain bar of speaker 5
    CBitmap* levelFans[4] = {};        // 42 x 42 level fans of speakers 1..4
    CBitmap* levelBar = nullptr;       // 10 x 36 level bar of speaker 5
    CBitmap* markers = nullptr;        // 16 x 64; the first cell is the puck
};

class OVMeterScreen : public CControl {
public:
    OVMeterScreen(const CRect& size, OvintaEditor& editor, int tag, const MeterPictures& pictures);
    ~OVMeterScreen() override;

    void draw(CDrawContext* context) override;
    // Panner drag: a press on the puck grabs it, motion moves it within
    // 2..44 panner units keeping the grab offset, the release leaves it at
    // the last position applied. A press that misses the puck does nothing.
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override;

    bool pannerGrabbed() const { return grabbed; }

private:
    void decayPeaks(float elapsedMs);
    void drawGainFans(int outputs);
    void drawLevelFans(int outputs);
    void drawPuck();
    void drawPart(CBitmap* bitmap, const CRect& dest, CPoint offset);
    // Panner unit under a window pixel, less the grab offset, within the drag's limits.
    int pannerUnitAt(int pixel, int origin, int grabOffset) const;
    void endGesture();

    OvintaEditor& editor;
    EditorPort& port;
    MeterPictures pictures;
    COffscreenContext picture;                              // 92 x 92
    float displayLevel[5] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f}; // peaks as shown, 0..1
    uint32_t lastDrawTick = 0;                              // tick count (ms) of the previous draw

    // The drag, between its events.
    bool grabbed = false;
    int grabX = 0, grabY = 0; // panner units from the puck to the press
};

} // namespace ovinta
