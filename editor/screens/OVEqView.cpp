// SPDX-License-Identifier: GPL-3.0-or-later
// OVEqView: the response curve with its fill, the band markers, the axes'
// labels, and the band drags.

#include "editor/screens/OVEqView.h"

#include "base/Convert.h"
#include "editor/screens/EqEditLink.h"
#include "editor/screens/ScreenPanel.h"
#include "core/EditorPort.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ovinta {

namespace {

constexpr CColor kFill{170, 140, 110, 255};
constexpr CColor kCurve{245, 230, 170, 255};
constexpr CColor kBandLine{150, 80, 80, 255};
constexpr CColor kSelectedBandLine{150, 150, 80, 255};
constexpr CColor kBandLabelBox{150, 80, 80, 255};
constexpr CColor kLabel{240, 175, 145, 255};
constexpr CColor kTick{190, 150, 0, 255};

constexpr int kFirstColumn = 32; // the fill starts here; the curve one column later
constexpr int kLastColumn = 399;
constexpr int kFillLimit = 161; // pixels above or below 0 dB
constexpr int kCurveLimit = 160;
constexpr int kBandLineTop = 44;     // +25 dB
constexpr int kBandLineBottom = 364; // -25 dB
constexpr float kPixelsPerDb = 6.4f;
constexpr int kDigitCell = 10; // rows per band marker in the digit strip

constexpr float kLowestHz = 20.0f; // the band frequencies' range
constexpr float kHighestHz = 16000.0f;
constexpr float kGainPerPixel = 0.003125f; // 1/320: 320 pixels span the whole gain range
constexpr float kWidthPerPixel = 0.005f;

constexpr float kTickHz[] = {50.0f, 200.0f, 500.0f, 1000.0f, 2500.0f, 5000.0f, 10000.0f, 20000.0f};

// Rows of a band's parameters: frequency, gain, width.
enum Row : int { kFrequencyRow = 0, kGainRow = 1, kWidthRow = 2 };

int bandIndex(int band, int row)
{
    return param::kEQfreq1 + 3 * band + row;
}

// Position on the axis (0..1) of bin `bin` of kLength/2.
float axisFraction(float bin)
{
    return std::cbrt(bin / static_cast<float>(EqResponse::kLength / 2));
}

} // namespace

OVEqView::OVEqView(EditorPort& e, EqEditLink& l, CBitmap* bg, CBitmap* bandDigits)
    : port(e), link(l), background(bg), digits(bandDigits),
      analysis(std::make_unique<EqResponse>()), bands{{kEqLowShelf, 0.0f, 100.0f, 44100.0f, 0.6f},
                                                      {kEqPeaking, 0.0f, 500.0f, 44100.0f, 1.0f},
                                                      {kEqPeaking, 0.0f, 2000.0f, 44100.0f, 1.0f},
                                                      {kEqHighShelf, 0.0f, 8000.0f, 44100.0f, 0.6f}}
{
    if (background)
        background->remember();
    if (digits)
        digits->remember();
}

OVEqView::~OVEqView()
{
    if (background)
        background->forget();
    if (digits)
        digits->forget();
}

float OVEqView::sampleRate() const
{
    const float rate = port.values().sampleRate;
    return std::isfinite(rate) && rate > 0.0f ? rate : 44100.0f;
}

int OVEqView::frequencyX(float hz, float rate)
{
    const float bin = hz * static_cast<float>(EqResponse::kLength) / rate;
    return truncToInt(static_cast<double>(static_cast<float>(kAxisWidth) * axisFraction(bin)));
}

// ---- Drawing --------------------------------------------------------------------------

// Pixels above 0 dB of column x, the curve read between the two bins the
// column falls on, held within +-limit.
int OVEqView::curveOffset(int x, int limit) const
{
    const float b = 4096.0f * formula::cube(0.0025f * static_cast<float>(x));
    const int k = std::clamp(truncToInt(static_cast<double>(b)), 0, EqResponse::kBins - 2);
    const float r = b - static_cast<float>(k);
    const auto v = analysis->curve();
    const float pixels = (1.0f - r) * kPixelsPerUnit * v[static_cast<size_t>(k)]
                         + r * kPixelsPerUnit * v[static_cast<size_t>(k + 1)] + 0.5f;
    return std::clamp(truncToInt(static_cast<double>(pixels)), -limit, limit);
}

void OVEqView::drawFill(COffscreenContext& picture) const
{
    picture.setFillColor(kFill);
    for (int x = kFirstColumn; x <= kLastColumn; ++x) {
        // A 1-pixel line from 0 dB to the curve, its end pixel left out.
        const int g = curveOffset(x, kFillLimit);
        if (g > 0)
            picture.fillRect(CRect(x, kZeroDbY - g + 1, x + 1, kZeroDbY + 1));
        else if (g < 0)
            picture.fillRect(CRect(x, kZeroDbY, x + 1, kZeroDbY - g));
    }
}

void OVEqView::drawCurve(COffscreenContext& picture) const
{
    picture.setFrameColor(kCurve);
    picture.setLineWidth(2);
    // Runs of joined segments; a segment with both ends on the same limit
    // (the curve flat beyond the picture) is left out.
    CPoint run[kLastColumn - kFirstColumn + 1];
    int runLength = 0;
    int previous = curveOffset(kFirstColumn, kCurveLimit);
    for (int x = kFirstColumn + 1; x <= kLastColumn; ++x) {
        const int g = curveOffset(x, kCurveLimit);
        const bool clipped = g == previous && (g == kCurveLimit || g == -kCurveLimit);
        if (clipped) {
            picture.drawPolyline(std::span<const CPoint>(run, static_cast<size_t>(runLength)));
            runLength = 0;
        } else {
            if (runLength == 0)
                run[runLength++] = CPoint(x - 1, kZeroDbY - previous);
            run[runLength++] = CPoint(x, kZeroDbY - g);
        }
        previous = g;
    }
    picture.drawPolyline(std::span<const CPoint>(run, static_cast<size_t>(runLength)));
    picture.setLineWidth(1);
}

void OVEqView::drawBandMarkers(COffscreenContext& picture) const
{
    const float rate = sampleRate();
    const auto v = analysis->curve();
    picture.setFont(kNormalFontVerySmall);
    for (int band = 0; band < 4; ++band) {
        const float hz = port.values().eqFrequency[band];
        const float bin = std::clamp(hz * static_cast<float>(EqResponse::kLength) / rate, 0.0f,
                                     static_cast<float>(EqResponse::kBins - 1));
        const int x = truncToInt(static_cast<double>(static_cast<float>(kAxisWidth) * axisFraction(bin))) + 1;
        const float level =
            kPixelsPerUnit * v[static_cast<size_t>(truncToInt(static_cast<double>(bin)))] + 0.5f;
        const int y =
            kZeroDbY - std::clamp(truncToInt(static_cast<double>(level)), -kCurveLimit, kCurveLimit);

        picture.setFrameColor(band == selected ? kSelectedBandLine : kBandLine);
        picture.drawLine(CPoint(x, kBandLineTop), CPoint(x, kBandLineBottom));
        const CRect sprite(x - 4, y - 4, x + 5, y + 5);
        if (digits) {
            digits->drawTransparent(&picture, sprite, CPoint(0, kDigitCell * band));
        } else {
            picture.setFillColor(kCurve);
            picture.fillEllipse(sprite);
        }
        // The label sits below a marker under 0 dB and above the others.
        const CRect box =
            y >= kZeroDbY + 1 ? CRect(x - 18, y + 11, x + 17, y + 23) : CRect(x - 18, y - 23, x + 17, y - 11);
        picture.setFillColor(kBandLabelBox);
        picture.fillRect(box);
        char text[16];
        std::snprintf(text, sizeof text, "%d", truncToInt(static_cast<double>(hz)));
        picture.setFontColor(kLabel);
        picture.drawString(text, box);
    }
}

void OVEqView::drawGainLabels(COffscreenContext& picture) const
{
    picture.setFont(kNormalFontVerySmall);
    picture.setFontColor(kLabel);
    for (int d = -25; d <= 25; d += 5) {
        const int y = truncToInt(
            static_cast<double>(static_cast<float>(kZeroDbY) - kPixelsPerDb * static_cast<float>(d)));
        char text[16];
        std::snprintf(text, sizeof text, (d == 25 || d == -25) ? "%d dB" : "%d", d);
        picture.drawString(text, CRect(2, y - 4, 34, y + 4));
    }
}

void OVEqView::drawFrequencyTicks(COffscreenContext& picture) const
{
    const float rate = sampleRate();
    picture.setFont(kNormalFontVerySmall);
    picture.setFontColor(kLabel);
    picture.setFrameColor(kTick);
    for (float hz : kTickHz) {
        const int x = frequencyX(hz, rate);
        picture.drawLine(CPoint(x, 11), CPoint(x, 16));
        picture.drawLine(CPoint(x, 397), CPoint(x, 392));
        char text[16];
        std::snprintf(text, sizeof text, hz == 20000.0f ? "%d Hz" : "%d",
                      truncToInt(static_cast<double>(hz)));
        picture.drawString(text, CRect(x - 28, 3, x + 28, 11));
        picture.drawString(text, CRect(x - 28, 398, x + 28, 406));
    }
}

void OVEqView::draw(COffscreenContext& picture)
{
    picture.resetClipRect();
    if (background)
        background->draw(&picture, CRect(0, 0, kSize, kSize));
    else
        screenpanel::paint(picture);

    // The engine's analysed set carries the same designs as the audible one;
    // the analysis runs on a copy, so the engine's filters are not touched.
    port.copyAnalysisEq(0, bands);
    analysis->analyse(bands[0], bands[1], bands[2], bands[3]);

    drawFill(picture);
    drawCurve(picture);
    drawBandMarkers(picture);
    drawGainLabels(picture);
    drawFrequencyTicks(picture);
}

// ---- Mouse ------------------------------------------------------------------------------

// The raw frequency value that column x (press position + 1) stands for,
// with its frequency limited below at 20 Hz only.
float OVEqView::pressValue(int x) const
{
    const float column = static_cast<float>(std::max(x, 1));
    const float hz = formula::cube(0.0025f * column) * (sampleRate() / 2.0f);
    return formula::eqFrequencyValue(std::max(hz, kLowestHz));
}

CMouseEventResult OVEqView::mouseDown(CPoint where, int buttons)
{
    if (drag != Drag::None)
        endDrag();
    const int held = buttons & (kLButton | kRButton);
    if (held == 0)
        return kMouseEventNotHandled;
    drag = (held & kLButton) != 0 ? Drag::FrequencyAndGain : Drag::Width;

    // The band whose frequency is nearest the press; ties keep the lower band.
    const int x = std::max(where.h + 1, 1);
    const float hz = std::clamp(formula::cube(0.0025f * static_cast<float>(x)) * (sampleRate() / 2.0f),
                                kLowestHz, kHighestHz);
    const float u = formula::eqFrequencyValue(hz);
    selected = 0;
    float nearest = std::fabs(link.getParameter(bandIndex(0, kFrequencyRow)) - u);
    for (int band = 1; band < 4; ++band) {
        const float distance = std::fabs(link.getParameter(bandIndex(band, kFrequencyRow)) - u);
        if (distance < nearest) {
            nearest = distance;
            selected = band;
        }
    }
    for (int row = 0; row < 3; ++row)
        pressBand[row] = link.getParameter(bandIndex(selected, row));
    pressPoint = where;
    pressFrequencyValue = pressValue(x);

    // Each move reports all four knobs of a changed quantity, so the
    // gesture brackets all of them.
    for (int band = 0; band < 4; ++band) {
        if (drag == Drag::FrequencyAndGain) {
            link.beginEdit(bandIndex(band, kFrequencyRow));
            link.beginEdit(bandIndex(band, kGainRow));
        } else {
            link.beginEdit(bandIndex(band, kWidthRow));
        }
    }
    return kMouseEventTrack;
}

void OVEqView::setQuantity(int row, float value)
{
    const int index = bandIndex(selected, row);
    const float limitedValue = std::clamp(value, 0.0f, 1.0f);
    if (!std::isfinite(value) || limitedValue == link.getParameter(index))
        return;
    link.setParameter(index, limitedValue);
    for (int band = 0; band < 4; ++band)
        link.reportKnob(bandIndex(band, row));
}

void OVEqView::applyDrag(CPoint where)
{
    if (drag == Drag::FrequencyAndGain) {
        const float moved = pressValue(where.h + 1) - pressFrequencyValue;
        setQuantity(kFrequencyRow, pressBand[kFrequencyRow] + moved);
        setQuantity(kGainRow,
                    pressBand[kGainRow] + static_cast<float>(pressPoint.v - where.v) * kGainPerPixel);
    } else if (drag == Drag::Width) {
        setQuantity(kWidthRow,
                    pressBand[kWidthRow] + static_cast<float>(where.h - pressPoint.h) * kWidthPerPixel);
    }
}

CMouseEventResult OVEqView::mouseMoved(CPoint where, int buttons)
{
    if (drag == Drag::None)
        return kMouseEventNotHandled;
    if ((buttons & (kLButton | kRButton)) == 0) {
        endDrag(); // the release was lost
        return kMouseEventHandled;
    }
    applyDrag(where);
    return kMouseEventTrack;
}

CMouseEventResult OVEqView::mouseUp(CPoint, int buttons)
{
    if (drag == Drag::None)
        return kMouseEventNotHandled;
    if ((buttons & (kLButton | kRButton)) != 0)
        return kMouseEventTrack; // another button is still held: the drag goes on
    endDrag();
    return kMouseEventHandled;
}

void OVEqView::mouseCancel()
{
    if (drag != Drag::None)
        endDrag();
}

void OVEqView::endDrag()
{
    for (int band = 0; band < 4; ++band) {
        if (drag == Drag::FrequencyAndGain) {
            link.endEdit(bandIndex(band, kFrequencyRow));
            link.endEdit(bandIndex(band, kGainRow));
        } else if (drag == Drag::Width) {
            link.endEdit(bandIndex(band, kWidthRow));
        }
    }
    drag = Drag::None;
    selected = -1;
    port.setViewDirty(true);
}

void OVEqView::modeChanged()
{
    if (drag != Drag::None)
        endDrag();
    selected = -1;
}

} // namespace ovinta
