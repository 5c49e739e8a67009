// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where every control of the editor window sits: rectangles in frame pixels,
// the control's tag (param::Index) and the bitmap it is drawn from, and the
// numbers of the pictures. Plain tables, read by the editor when it opens and
// by the artwork generator, which draws the panel's labels over the same
// rectangles; nothing here has behaviour.

#include "model/Parameters.h"
#include "toolkit/CRect.h"

namespace ovinta {

// Resource numbers of the pictures (103..154).
namespace bitmap {
enum Id : int {
    kStereoButton = 103,
    kReverseButton = 104,
    kUndoButton = 105,
    kClearButton = 106,
    kHelpButton = 107,
    kImpulsePanels = 108,     // volume and filter response panels
    kKnobFilm = 109,
    kHeadAngleFilm = 110,
    kEqKnobFilm = 111,
    kEditGrid = 112,          // main screen: the 50 x 50 m plan
    k3DBackground = 113,
    kEqBackground = 114,
    kMeterBackground = 115,
    kLevelFanTopLeft = 116,   // level fans growing from each corner
    kLevelFanTopRight = 117,
    kLevelFanBottomLeft = 118,
    kLevelFanBottomRight = 119,
    kGainStripesRising = 120,
    kGainStripesFalling = 121,
    k3DViewButton = 125,
    kEqViewButton = 126,
    kLinesButton = 127,
    kBoxesButton = 128,
    kMarkers = 129,           // listener and source sprites
    kOutputsFilm = 130,
    kBendGroove = 131,
    kBendHandle = 132,
    kYellowKnobFilm = 133,
    kEditButton = 135,
    kMirrorButton = 136,
    kBandDigits = 137,
    kExportPage = 138,
    kExportButton = 139,
    kSpeakerLabel1 = 140,     // 140..143: speakers 1..4
    kSpeakerLabel5 = 144,
    kLevelBar = 145,          // the centre speaker's bar
    kCentreStripes = 146,
    kBackground = 152,
    kPreviousButton = 153,
    kNextButton = 154,
};
} // namespace bitmap

namespace layout {

constexpr int kWindowWidth = 704;
constexpr int kWindowHeight = 560;
constexpr int kBackgroundBitmap = bitmap::kBackground;

// Films of the knobs: 64 frames each.
constexpr int kKnobFrames = 64;

// An animated knob: tag, top-left corner, size, film bitmap.
struct KnobPlace {
    int tag;
    int left, top, width, height;
    int bitmap;
};

// Columns: tag, left, top, width, height, bitmap.
constexpr int kLight = bitmap::kKnobFilm;
constexpr int kYellow = bitmap::kYellowKnobFilm;
constexpr KnobPlace kKnobs[] = {
    {param::kAbsorb, 440, 41, 47, 42, kLight},     {param::kHiCut, 488, 41, 47, 42, kLight},
    {param::kScatter, 536, 41, 47, 42, kLight},    {param::kHeight, 584, 41, 47, 42, kLight},
    {param::kNumRays, 648, 41, 47, 42, kYellow},   {param::kAbsorbAir, 439, 153, 47, 42, kLight},
    {param::kHiCutAir, 487, 153, 47, 42, kLight},  {param::kPreDelay, 440, 264, 47, 42, kLight},
    {param::kScale, 488, 264, 47, 42, kLight},     {param::kGain, 598, 264, 47, 42, kLight},
    {param::kDryOut, 646, 264, 47, 42, kLight},    {param::kDiffusion, 440, 424, 47, 42, kYellow},
    {param::kDiffSize, 488, 424, 47, 42, kYellow}, {param::kDiffLoPass, 536, 424, 47, 42, kYellow},
};

// The rectangle of the big knob of `tag` (an empty one when there is none).
constexpr CRect knobRect(int tag)
{
    for (const KnobPlace& k : kKnobs)
        if (k.tag == tag)
            return CRect::fromSize(k.left, k.top, k.width, k.height);
    return {};
}

// The small EQ knobs: one column per band, rows Freq, Gain, Width.
constexpr int kEqColumnLeft[4] = {573, 605, 637, 669};
constexpr int kEqRowTop[3] = {137, 158, 179};
constexpr int kEqKnobWidth = 21;
constexpr int kEqKnobHeight = 20;
constexpr int kEqKnobBitmap = bitmap::kEqKnobFilm;

// The head-angle knob: a full-turn film of 64 frames, 44 pixels each.
constexpr CRect kHeadAngleRect{535, 264, 583, 308};
constexpr int kHeadAngleBitmap = bitmap::kHeadAngleFilm;
constexpr int kHeadAngleFrameHeight = 44;

// The outputs selector: 6 frames of 21 pixels (three states, normal/pressed).
constexpr CRect kOutputsRect{631, 496, 692, 517};
constexpr int kOutputsBitmap = bitmap::kOutputsFilm;
constexpr int kOutputsFrames = 6;
constexpr int kOutputsFrameHeight = 21;

// The bend slider: the handle's left edge runs from 438 to 571.
constexpr CRect kBendRect{438, 508, 578, 532};
constexpr int kBendHandleMin = 438;
constexpr int kBendHandleMax = 571;
constexpr int kBendGrooveBitmap = bitmap::kBendGroove;
constexpr int kBendHandleBitmap = bitmap::kBendHandle;

// Buttons drawn from 2-frame films (off on top, on below).
enum class ButtonKind { OnOff, Kick };
struct ButtonPlace {
    int tag;
    CRect rect;
    int bitmap;
    ButtonKind kind;
};

// Columns: tag, rectangle, bitmap, kind.
constexpr ButtonPlace kButtons[] = {
    {param::kStereoOnOff, {431, 336, 491, 357}, bitmap::kStereoButton, ButtonKind::OnOff},
    {param::kReverseOnOff, {431, 360, 491, 381}, bitmap::kReverseButton, ButtonKind::OnOff},
    {param::kProgramPrevious, {372, 536, 396, 556}, bitmap::kPreviousButton, ButtonKind::Kick},
    {param::kProgramNext, {396, 536, 420, 556}, bitmap::kNextButton, ButtonKind::Kick},
    {param::kToolLines, {8, 512, 56, 534}, bitmap::kLinesButton, ButtonKind::OnOff},
    {param::kToolBoxes, {60, 512, 108, 534}, bitmap::kBoxesButton, ButtonKind::OnOff},
    {param::kToolEdit, {112, 512, 160, 534}, bitmap::kEditButton, ButtonKind::OnOff},
    {param::kMirror, {164, 512, 212, 534}, bitmap::kMirrorButton, ButtonKind::OnOff},
    {param::kUndo, {216, 512, 264, 534}, bitmap::kUndoButton, ButtonKind::Kick},
    {param::kClear, {268, 512, 316, 534}, bitmap::kClearButton, ButtonKind::Kick},
    {param::k3DView, {360, 512, 420, 533}, bitmap::k3DViewButton, ButtonKind::OnOff},
    {param::kEQView, {545, 200, 580, 219}, bitmap::kEqViewButton, ButtonKind::OnOff},
    {param::kExportPage, {592, 496, 628, 534}, bitmap::kExportButton, ButtonKind::OnOff},
    {param::kHelp, {644, 536, 692, 558}, bitmap::kHelpButton, ButtonKind::OnOff},
};

// Option menus: the two input pins, the five output pins, the program list.
constexpr CRect kInputPinRects[2] = {{502, 367, 521, 378}, {528, 367, 547, 378}};
constexpr int kOutputPinLeft[5] = {565, 592, 619, 646, 673};
constexpr int kPinTop = 367;
constexpr int kPinWidth = 19;
constexpr int kPinHeight = 11;
constexpr CRect kProgramMenuRect{164, 536, 364, 552};

// The three screens.
constexpr CRect kMainScreenRect{8, 8, 416, 416};
constexpr CRect kImpulseScreenRect{8, 424, 416, 504};
constexpr CRect kMeterScreenRect{596, 392, 688, 484};

// The invisible position controls (listener, sources, panner).
constexpr int kPositionTags[] = {param::kEarsX,    param::kEarsY,    param::kSource1X, param::kSource1Y,
                                  param::kSource2X, param::kSource2Y, param::kPanX,     param::kPanY};
constexpr CRect kPositionRect{0, 0, 3, 3};

// Value displays under the knobs: the tag of the knob whose value each
// shows, and its box.
struct DisplayPlace {
    int tag;
    CRect rect;
};
// Columns: tag, rectangle. Rows of 38 x 11 (the diffusion row 39 x 11).
constexpr DisplayPlace kDisplays[] = {
    {param::kAbsorb, {442, 85, 480, 96}},       {param::kHiCut, {490, 85, 528, 96}},
    {param::kScatter, {538, 85, 576, 96}},      {param::kHeight, {586, 85, 624, 96}},
    {param::kNumRays, {650, 85, 688, 96}},      {param::kAbsorbAir, {442, 197, 480, 208}},
    {param::kHiCutAir, {490, 197, 528, 208}},   {param::kPreDelay, {441, 309, 479, 320}},
    {param::kScale, {489, 309, 527, 320}},      {param::kHeadAngle, {537, 309, 575, 320}},
    {param::kGain, {601, 309, 639, 320}},       {param::kDryOut, {649, 309, 687, 320}},
    {param::kDiffusion, {441, 469, 480, 480}},  {param::kDiffSize, {489, 469, 528, 480}},
    {param::kDiffLoPass, {537, 469, 576, 480}},
};

// Colours of the value displays and of the option menus.
constexpr CColor kDisplayText{111, 90, 90, 255};
constexpr CColor kDisplayBack{216, 228, 199, 255};
constexpr CColor kMenuText{67, 10, 10, 255};
constexpr CColor kMenuBack{238, 224, 179, 255};

// Colours of the listener and source markers, in the plan and the 3-D view.
constexpr CColor kListenerColour{255, 255, 150, 255};
constexpr CColor kSource1StereoColour{255, 150, 150, 255};
constexpr CColor kSource2StereoColour{150, 255, 150, 255};
constexpr CColor kSourceMonoColour{255, 150, 255, 255};

} // namespace layout

} // namespace ovinta
