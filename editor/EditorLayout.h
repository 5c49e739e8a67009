#pragma once
// Where every control of the editor window sits: rectangles in frame pixels,
// the control's tag (its parameter index) and the bitmap it is drawn from.
// Plain tables read by OvintaEditor::open; nothing here has behaviour.

#include "toolkit/CRect.h"

namespace layout {

constexpr int kWindowWidth = 704;
constexpr int kWindowHeight = 560;
constexpr int kBackgroundBitmap = 152;

// Editor-only tags (47..68); the host parameters use param::Index.
enum Tag : int {
    kMainScreen = 47,
    kMeterScreen = 53,
    k3DView = 54,
    kEQView = 55,
    kExportPage = 57,
    kImpulseScreen = 58,
    kHelp = 59,
    kToolLines = 60,
    kToolBoxes = 61,
    kToolEdit = 62,
    kMirror = 63,
    kClear = 64,
    kUndo = 65,
    kTagCount = 69, // tags run 0..68
};

// Films of the knobs: 64 frames each.
constexpr int kKnobFrames = 64;

// An animated knob: tag, top-left corner, size, film bitmap.
struct KnobPlace {
    int tag;
    int left, top, width, height;
    int bitmap;
};

// Columns: tag, left, top, width, height, bitmap.
constexpr KnobPlace kKnobs[] = {
    {2, 440, 41, 47, 42, 109},  {3, 488, 41, 47, 42, 109},  {4, 536, 41, 47, 42, 109},
    {5, 584, 41, 47, 42, 109},  {44, 648, 41, 47, 42, 133}, {6, 439, 153, 47, 42, 109},
    {7, 487, 153, 47, 42, 109}, {14, 440, 264, 47, 42, 109}, {15, 488, 264, 47, 42, 109},
    {0, 598, 264, 47, 42, 109}, {1, 646, 264, 47, 42, 109}, {17, 440, 424, 47, 42, 133},
    {18, 488, 424, 47, 42, 133}, {19, 536, 424, 47, 42, 133},
};

// The small EQ knobs: one column per band, rows Freq, Gain, Width.
constexpr int kEqColumnLeft[4] = {573, 605, 637, 669};
constexpr int kEqRowTop[3] = {137, 158, 179};
constexpr int kEqKnobWidth = 21;
constexpr int kEqKnobHeight = 20;
constexpr int kEqKnobBitmap = 111;

// The head-angle knob: a full-turn film of 64 frames, 44 pixels each.
constexpr CRect kHeadAngleRect{535, 264, 583, 308};
constexpr int kHeadAngleBitmap = 110;
constexpr int kHeadAngleFrameHeight = 44;

// The outputs selector: 6 frames of 21 pixels (three states, normal/pressed).
constexpr CRect kOutputsRect{631, 496, 692, 517};
constexpr int kOutputsBitmap = 130;
constexpr int kOutputsFrames = 6;
constexpr int kOutputsFrameHeight = 21;

// The bend slider: the handle's left edge runs from 438 to 571.
constexpr CRect kBendRect{438, 508, 578, 532};
constexpr int kBendHandleMin = 438;
constexpr int kBendHandleMax = 571;
constexpr int kBendGrooveBitmap = 131;
constexpr int kBendHandleBitmap = 132;

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
    {23, {431, 336, 491, 357}, 103, ButtonKind::OnOff},  // Stereo
    {36, {431, 360, 491, 381}, 104, ButtonKind::OnOff},  // Reverse
    {67, {372, 536, 396, 556}, 153, ButtonKind::Kick},   // previous program
    {68, {396, 536, 420, 556}, 154, ButtonKind::Kick},   // next program
    {60, {8, 512, 56, 534}, 127, ButtonKind::OnOff},     // LINES
    {61, {60, 512, 108, 534}, 128, ButtonKind::OnOff},   // BOXES
    {62, {112, 512, 160, 534}, 135, ButtonKind::OnOff},  // EDIT
    {63, {164, 512, 212, 534}, 136, ButtonKind::OnOff},  // MIRROR
    {65, {216, 512, 264, 534}, 105, ButtonKind::Kick},   // UNDO
    {64, {268, 512, 316, 534}, 106, ButtonKind::Kick},   // CLEAR
    {54, {360, 512, 420, 533}, 125, ButtonKind::OnOff},  // 3D VIEW
    {55, {545, 200, 580, 219}, 126, ButtonKind::OnOff},  // EQ VIEW
    {57, {592, 496, 628, 534}, 139, ButtonKind::OnOff},  // EXPORT I.R.
    {59, {644, 536, 692, 558}, 107, ButtonKind::OnOff},  // HELP
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
constexpr int kPositionTags[] = {8, 9, 10, 11, 12, 13, 21, 22};
constexpr CRect kPositionRect{0, 0, 3, 3};

// Value displays under the knobs: the tag of the knob whose engine value
// each shows, and its box.
struct DisplayPlace {
    int tag;
    CRect rect;
};
// Columns: tag, rectangle. Rows of 38 x 11 (the diffusion row 39 x 11).
constexpr DisplayPlace kDisplays[] = {
    {2, {442, 85, 480, 96}},   {3, {490, 85, 528, 96}},   {4, {538, 85, 576, 96}},
    {5, {586, 85, 624, 96}},   {44, {650, 85, 688, 96}},  {6, {442, 197, 480, 208}},
    {7, {490, 197, 528, 208}}, {14, {441, 309, 479, 320}}, {15, {489, 309, 527, 320}},
    {16, {537, 309, 575, 320}}, {0, {601, 309, 639, 320}}, {1, {649, 309, 687, 320}},
    {17, {441, 469, 480, 480}}, {18, {489, 469, 528, 480}}, {19, {537, 469, 576, 480}},
};

// Colours of the value displays and of the option menus.
constexpr CColor kDisplayText{111, 90, 90, 255};
constexpr CColor kDisplayBack{216, 228, 199, 255};
constexpr CColor kMenuText{67, 10, 10, 255};
constexpr CColor kMenuBack{238, 224, 179, 255};

} // namespace layout
