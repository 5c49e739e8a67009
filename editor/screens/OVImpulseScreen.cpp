// SPDX-License-Identifier: GPL-3.0-or-later
// OVImpulseScreen: the volume and filter bars of the ray slots' posted taps.

#include "editor/screens/OVImpulseScreen.h"

#include "base/Convert.h"
#include "core/EditorPort.h"
#include "toolkit/CBitmap.h"

#include <algorithm>

namespace ovinta {

namespace {

// Bars grow up from the base row, light cap first, then the middle band,
// the rest dark.
constexpr CColor kBandA{200, 162, 103, 255};
constexpr CColor kBandB{160, 129, 82, 255};
constexpr CColor kBandC{128, 103, 65, 255};
constexpr int kBaseRow = 72;     // first row below every bar
constexpr int kBandRows = 6;     // rows of bands A and B
constexpr int kLastColumn = 199; // arrivals beyond it are not drawn
constexpr float kPixelsPerSecond = 64.0f;
constexpr float kVolumeScale = 512.0f; // bar pixels per unit of summed gain
constexpr float kFilterScale = 88.0f;  // bar pixels per unit of high-frequency factor
constexpr float kBarLimit = 1000.0f;   // beyond the panel either way; keeps ints small

// One column of the bar from `top` down to the base row.
void fillColumn(COffscreenContext& panel, int x, int from, int to, CColor colour)
{
    if (to <= from)
        return;
    panel.setFillColor(colour);
    panel.fillRect(CRect(x, from, x + 1, to));
}

void drawBar(COffscreenContext& panel, int x, int top)
{
    top = std::min(top, kBaseRow);
    const int bandB = std::min(top + kBandRows, kBaseRow);
    const int bandC = std::min(bandB + kBandRows, kBaseRow);
    fillColumn(panel, x, top, bandB, kBandA);
    fillColumn(panel, x, bandB, bandC, kBandB);
    fillColumn(panel, x, bandC, kBaseRow, kBandC);
}

int barPixels(float scaled)
{
    return truncToInt(static_cast<double>(std::clamp(scaled, -kBarLimit, kBarLimit)));
}

} // namespace

OVImpulseScreen::OVImpulseScreen(const CRect& r, CControlListener* l, int t, EditorPort& e, CBitmap* p)
    : CControl(r, l, t, nullptr), port(e), panels(p), volumePanel(kPanelWidth, kPanelHeight, kBlackCColor),
      filterPanel(kPanelWidth, kPanelHeight, kBlackCColor)
{
}

OVImpulseScreen::~OVImpulseScreen() = default;

void OVImpulseScreen::draw(CDrawContext* context)
{
    if (progress > 0 || startPass()) {
        drawBatch();
        progress -= kRaysPerDraw;
    }
    volumePanel.copyFrom(context, CRect::fromSize(size.left, size.top, kPanelWidth, kPanelHeight));
    filterPanel.copyFrom(
        context, CRect::fromSize(size.left + kFilterPanelOffset, size.top, kPanelWidth, kPanelHeight));
    setDirty(false);
}

bool OVImpulseScreen::startPass()
{
    const int rays = std::min(static_cast<int>(port.values().activeRays), kMaxRays);
    if (rays < 1 || port.takePostedFlags() == 0)
        return false;
    progress = rays;
    // A fresh background erases the previous pass's bars.
    const CRect whole(0, 0, kPanelWidth, kPanelHeight);
    if (panels) {
        panels->draw(&volumePanel, whole, CPoint(0, 0));
        panels->draw(&filterPanel, whole, CPoint(0, kPanelHeight));
    } else {
        volumePanel.setFillColor(kBlackCColor);
        volumePanel.fillRect(whole);
        filterPanel.setFillColor(kBlackCColor);
        filterPanel.fillRect(whole);
    }
    return true;
}

void OVImpulseScreen::drawBatch()
{
    // The pass runs from the last slot down, 32 at a time.
    const int first = std::max(progress - kRaysPerDraw, 0);
    const int count = port.copyPostedTaps(first, progress - first, batch);
    const float samplesPerPixel = port.values().sampleRate / kPixelsPerSecond;
    const bool reverse = port.values().reverseOn != 0;
    const int longestTap = port.values().longestTap;
    volumePanel.setDrawMode(kCopyMode);
    filterPanel.setDrawMode(kCopyMode);
    for (int i = 0; i < count; ++i)
        drawRay(batch[i], samplesPerPixel, reverse, longestTap);
}

void OVImpulseScreen::drawRay(const TapArrival& tap, float samplesPerPixel, bool reverse, int longestTap)
{
    // Delays are negative: the arrival lies -delay samples after the direct
    // moment. Reversed, the time axis is mirrored around the longest tap so
    // that the longest arrival is drawn at the left.
    const float delay = static_cast<float>(tap.delay);
    const int x =
        reverse
            ? truncToInt(static_cast<double>((delay - static_cast<float>(longestTap)) / samplesPerPixel)) + 1
            : 1 - truncToInt(static_cast<double>(delay / samplesPerPixel));
    if (x > kLastColumn || x < 0)
        return;
    const float volume = kVolumeScale * (tap.gain[0] + tap.gain[1] + tap.gain[2] + tap.gain[3]);
    if (volume == 0.0f)
        return; // a silent arrival leaves no bar in either panel
    drawBar(volumePanel, x, kBaseRow - barPixels(volume));
    drawBar(filterPanel, x, kBaseRow + 1 - barPixels(kFilterScale * tap.hiFreq));
}

} // namespace ovinta
