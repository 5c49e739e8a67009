// SPDX-License-Identifier: GPL-3.0-or-later
// OVMeterScreen: level and gain fans per output, the panner puck and its drag.

#include "editor/screens/OVMeterScreen.h"

#include "base/Convert.h"
#include "base/Limits.h"
#include "editor/OvintaEditor.h"
#include "core/EditorPort.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace {

constexpr int kSide = 92;        // the picture is kSide x kSide
constexpr int kGainFanSize = 46; // striped fans: gain 4 -> 46 pixels, 1 -> 18, 0.4 -> 0
constexpr int kCentreStripesHeight = 40;
constexpr int kLevelFanSize = 42;   // level fans: 60 dB in 42 pixels
constexpr int kLevelBarHeight = 36; // the centre bar: 60 dB in 36 pixels
constexpr int kPuckHalf = 8;        // the ring is 16 x 16
constexpr int kPannerMin = 2;       // a drag keeps the panner within 2..44 units
constexpr int kPannerMax = 44;
constexpr float kDecayPerMs = 0.005f;   // a peak loses this share per millisecond
constexpr float kLevelFloor = 1.0e-23f; // keeps log10 finite for silence

// Pixels of a striped gain fan: trunc((log10(g / 4) + 1) * 46), none for a
// gain of 0.4 or less, never more than the picture holds.
int gainPixels(float gain, int limit)
{
    if (!(gain > 0.0f))
        return 0;
    const float pixels = (std::log10(0.25f * gain) + 1.0f) * static_cast<float>(kGainFanSize);
    return std::clamp(truncToInt(static_cast<double>(pixels)), 0, limit);
}

// Pixels of a level fan: 60 dB of range, full scale (1.0) at `fullScale`.
int levelPixels(float level, int pixelsPerDecade, int fullScale)
{
    if (!(level > 0.0f))
        return 0;
    const float pixels = (std::log10(level) + 3.0f) * static_cast<float>(pixelsPerDecade);
    return std::clamp(truncToInt(static_cast<double>(pixels)), 0, fullScale);
}

} // namespace

OVMeterScreen::OVMeterScreen(const CRect& r, OvintaEditor& ed, int t, const MeterPictures& p)
    : CControl(r, &ed, t, nullptr), editor(ed), port(ed.getPort()), pictures(p),
      picture(kSide, kSide, kBlackCColor)
{
}

OVMeterScreen::~OVMeterScreen() = default;

// ---- Drawing ------------------------------------------------------------------

void OVMeterScreen::drawPart(CBitmap* bitmap, const CRect& dest, CPoint offset)
{
    if (bitmap && dest.width() > 0 && dest.height() > 0)
        bitmap->drawTransparent(&picture, dest, offset);
}

void OVMeterScreen::draw(CDrawContext* context)
{
    const uint32_t now = frame ? frame->getTicks() : lastDrawTick;
    // The tick count wraps; a draw that seems to go back in time decays nothing.
    const auto elapsedMs = static_cast<float>(static_cast<int32_t>(now - lastDrawTick));

    const CRect whole(0, 0, kSide, kSide);
    if (pictures.background) {
        pictures.background->draw(&picture, whole, CPoint(0, 0));
    } else {
        picture.setFillColor(kBlackCColor);
        picture.fillRect(whole);
    }
    const int outputs = port.values().outputCount;
    drawPart(pictures.labels[0], CRect(0, 0, 12, 12), CPoint(0, 0));
    drawPart(pictures.labels[1], CRect(80, 0, 92, 12), CPoint(0, 0));
    if (outputs > 2) {
        drawPart(pictures.labels[2], CRect(0, 79, 12, 91), CPoint(0, 0));
        drawPart(pictures.labels[3], CRect(80, 79, 92, 91), CPoint(0, 0));
    }
    if (outputs > 4)
        drawPart(pictures.labels[4], CRect(35, 0, 57, 8), CPoint(0, 0));

    if (elapsedMs > 0.0f)
        decayPeaks(elapsedMs);
    lastDrawTick = now;
    // With more than two outputs the wet sound is spread over more speakers,
    // so each level shows doubled.
    const bool surround = port.values().outputsSetting != 0;
    for (int k = 0; k < kOutputRoles; ++k) {
        float level = port.values().outputPeak[k] + kLevelFloor;
        if (surround)
            level *= 2.0f;
        displayLevel[k] = std::min(level, 1.0f);
    }

    drawGainFans(outputs);
    drawLevelFans(outputs);
    drawPuck();
    picture.copyFrom(context, size);
    setDirty(false);
}

void OVMeterScreen::decayPeaks(float elapsedMs)
{
    // A 200 ms gap or more clears the peaks; a block that raises a peak
    // between the read and the write here is lost for this one draw.
    for (int k = 0; k < kOutputRoles; ++k) {
        const float peak = port.values().outputPeak[k];
        port.lowerOutputPeak(k, std::max(peak - peak * (elapsedMs * kDecayPerMs), 0.0f));
    }
}

void OVMeterScreen::drawGainFans(int outputs)
{
    int n[kOutputRoles];
    for (int k = 0; k < kOutputRoles; ++k)
        n[k] = gainPixels(port.values().outputGain[k], k == 4 ? kCentreStripesHeight : kGainFanSize);
    const int s = kGainFanSize;
    drawPart(pictures.stripesFalling, CRect(3, 3, 3 + n[0], 3 + n[0]), CPoint(0, 0));
    drawPart(pictures.stripesRising, CRect(89 - n[1], 3, 89, 3 + n[1]), CPoint(s - n[1], 0));
    if (outputs > 3) {
        drawPart(pictures.stripesRising, CRect(3, 88 - n[2], 3 + n[2], 87), CPoint(0, s - n[2]));
        drawPart(pictures.stripesFalling, CRect(89 - n[3], 88 - n[3], 89, 88), CPoint(s - n[3], s - n[3]));
    }
    if (outputs > 4)
        drawPart(pictures.centreStripes, CRect(37, 8, 55, 8 + n[4]), CPoint(0, kCentreStripesHeight - n[4]));
}

void OVMeterScreen::drawLevelFans(int outputs)
{
    int m[kOutputRoles];
    for (int k = 0; k < 4; ++k)
        m[k] = levelPixels(displayLevel[k], kLevelFanSize / 3, kLevelFanSize);
    m[4] = levelPixels(displayLevel[4], kLevelBarHeight / 3, kLevelBarHeight);
    const int s = kLevelFanSize;
    drawPart(pictures.levelFans[0], CRect(4, 4, 4 + m[0], 4 + m[0]), CPoint(0, 0));
    drawPart(pictures.levelFans[1], CRect(88 - m[1], 4, 88, 4 + m[1]), CPoint(s - m[1], 0));
    if (outputs > 2) {
        drawPart(pictures.levelFans[2], CRect(4, 87 - m[2], 4 + m[2], 87), CPoint(0, s - m[2]));
        drawPart(pictures.levelFans[3], CRect(88 - m[3], 87 - m[3], 88, 87), CPoint(s - m[3], s - m[3]));
    }
    if (outputs > 4)
        drawPart(pictures.levelBar, CRect(41, 7, 51, 7 + m[4]), CPoint(0, 0));
}

void OVMeterScreen::drawPuck()
{
    // Panner units are 2 pixels.
    const int x = truncToInt(2.0 * static_cast<double>(port.values().panX));
    const int y = truncToInt(2.0 * static_cast<double>(port.values().panY));
    if (std::abs(x) > 2 * kSide || std::abs(y) > 2 * kSide)
        return; // a wild host value: the puck lies far off the picture
    drawPart(pictures.markers, CRect(x - kPuckHalf, y - kPuckHalf, x + kPuckHalf, y + kPuckHalf),
             CPoint(0, 0));
}

// ---- Panner drag ----------------------------------------------------------------

int OVMeterScreen::pannerUnitAt(int pixel, int origin, int grabOffset) const
{
    return std::clamp(((pixel - origin) >> 1) - grabOffset, kPannerMin, kPannerMax);
}

CMouseEventResult OVMeterScreen::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (takeClick(context, buttons, kLButton) == 0)
        return kMouseEventNotHandled;
    if (buttons & kRButton)
        return kMouseEventHandled; // both buttons: nothing
    const int px = truncToInt(static_cast<double>(port.values().panX));
    const int py = truncToInt(static_cast<double>(port.values().panY));
    const int u = pannerUnitAt(where.h, size.left, 0);
    const int v = pannerUnitAt(where.v, size.top, 0);
    // Only a press on the ring (about 3 units around its centre) grabs it;
    // the grab offset keeps the puck where it was relative to the mouse.
    if (!(px - 4 < u && u < px + 3 && py - 4 < v && v < py + 3))
        return kMouseEventHandled;
    grabbed = true;
    grabX = u - px;
    grabY = v - py;
    editor.beginPositionEdit(param::kPanX);
    editor.beginPositionEdit(param::kPanY);
    port.movePanner(static_cast<float>(px), static_cast<float>(py));
    setDirty();
    notifyListener(context);
    return kMouseEventTrack;
}

CMouseEventResult OVMeterScreen::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (!grabbed)
        return kMouseEventNotHandled;
    if (!(buttons & kLButton)) { // the release was lost: the position is not used
        endGesture();
        return kMouseEventHandled;
    }
    port.movePanner(static_cast<float>(pannerUnitAt(where.h, size.left, grabX)),
                      static_cast<float>(pannerUnitAt(where.v, size.top, grabY)));
    setDirty();
    notifyListener(context);
    return kMouseEventTrack;
}

CMouseEventResult OVMeterScreen::onMouseUp(CDrawContext*, CPoint, int buttons)
{
    if (!grabbed)
        return kMouseEventNotHandled;
    if (buttons & kLButton) // another button came up
        return kMouseEventTrack;
    // The release point itself is not applied: the panner stays where the
    // last motion put it.
    endGesture();
    return kMouseEventHandled;
}

void OVMeterScreen::onMouseCancel()
{
    if (grabbed)
        endGesture();
}

void OVMeterScreen::endGesture()
{
    grabbed = false;
    editor.endPositionEdit(param::kPanX);
    editor.endPositionEdit(param::kPanY);
}

} // namespace ovinta
