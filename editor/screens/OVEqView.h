// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVEqView: mode 2 of the main screen. It draws the measured response of the
// wet equaliser (EqResponse on a copy of the engine's analysed band set) on
// a cube-root frequency axis, with a marker and a frequency label for each
// band, and lets the user move the bands on the graph: a left drag moves a
// band's frequency (sideways) and gain (up and down), a right drag its
// width. The band taken is the one whose frequency is nearest the press.
//
// The main screen owns one and delegates to it while mode 2 is shown:
// draw() whenever the picture must be redone (the port's view-dirty signal, a
// mode change), the mouse calls during a gesture, modeChanged() when the
// screen leaves or enters the mode.
//
// Threads: GUI thread only. Nothing is allocated after construction.

#include "dsp/EQfilter.h"
#include "dsp/EqResponse.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/CView.h"

#include <memory>

namespace ovinta {

class CBitmap;
class EqEditLink;
class EditorPort;

class OVEqView {
public:
    static constexpr int kSize = 408;
    static constexpr int kZeroDbY = 204;            // pixel row of 0 dB
    static constexpr int kAxisWidth = 400;          // pixels from 0 Hz to half the sample rate
    static constexpr float kPixelsPerUnit = 100.0f; // per curve unit (13.33 dB)

    // `background` is the EQ view's 408 x 408 picture and `bandDigits` the
    // 9 x 40 strip of band markers 1..4 (either may be null: plain shapes
    // are drawn instead); the view holds a reference to each for its life.
    OVEqView(EditorPort& port, EqEditLink& link, CBitmap* background, CBitmap* bandDigits);
    ~OVEqView();
    OVEqView(const OVEqView&) = delete;
    OVEqView& operator=(const OVEqView&) = delete;

    // Analyses the bands and draws the whole mode into `picture` (origin 0, 0).
    void draw(COffscreenContext& picture);

    // Mouse gesture, positions relative to the picture's top-left, buttons
    // as the toolkit gives them (kLButton: frequency and gain, kRButton:
    // width). kMouseEventTrack while the drag goes on. The release clears
    // the selection and sets the port's view-dirty signal: the caller redraws.
    CMouseEventResult mouseDown(CPoint where, int buttons);
    CMouseEventResult mouseMoved(CPoint where, int buttons);
    CMouseEventResult mouseUp(CPoint where, int buttons);
    void mouseCancel();

    // The main screen changed mode: a drag in progress ends, nothing is selected.
    void modeChanged();

    // The band taken by the current drag, 0..3, or -1.
    int selectedBand() const { return selected; }
    // The last analysis.
    const EqResponse& response() const { return *analysis; }

    // Pixel column of frequency `hz` on the cube-root axis.
    static int frequencyX(float hz, float sampleRate);

private:
    enum class Drag { None, FrequencyAndGain, Width };

    float sampleRate() const;
    int curveOffset(int x, int limit) const;
    void drawFill(COffscreenContext& picture) const;
    void drawCurve(COffscreenContext& picture) const;
    void drawBandMarkers(COffscreenContext& picture) const;
    void drawGainLabels(COffscreenContext& picture) const;
    void drawFrequencyTicks(COffscreenContext& picture) const;
    float pressValue(int x) const;
    void applyDrag(CPoint where);
    void setQuantity(int row, float value);
    void endDrag();

    EditorPort& port;
    EqEditLink& link;
    CBitmap* background = nullptr;
    CBitmap* digits = nullptr;
    std::unique_ptr<EqResponse> analysis;
    EQfilter bands[4]; // copies of the engine's analysed set

    int selected = -1; // band of the drag, -1 none
    Drag drag = Drag::None;
    CPoint pressPoint;
    float pressFrequencyValue = 0.0f; // the raw frequency the press position stands for
    float pressBand[3] = {};          // the band's raw frequency, gain and width at the press
};

} // namespace ovinta
