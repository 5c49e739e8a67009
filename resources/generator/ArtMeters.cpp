// SPDX-License-Identifier: GPL-3.0-or-later
// Meter screen pictures: background, level fans and bars, striped gain fans
// and bars, speaker labels. All but the background are drawn by the plug-in
// with white as the transparent colour.

#include "ArtCommon.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace ovinta {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr Rgb kMeterBack{15, 17, 19};

// Level colour: green, then yellow from 2/3, red in the last eighth.
Rgb levelColour(double t)
{
    if (t < 0.66)
        return {70, 200, 96};
    if (t < 0.86)
        return {232, 206, 70};
    return {236, 80, 56};
}

void meterBackground(ArtSink& sink)
{
    Art art(92, 92);
    cairo_pattern_t* g = cairo_pattern_create_radial(46, 46, 4, 46, 46, 66);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.09, 0.10, 0.11);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.04, 0.05, 0.05);
    cairo_set_source(art.cr, g);
    cairo_paint(art.cr);
    cairo_pattern_destroy(g);
    cairo_set_antialias(art.cr, CAIRO_ANTIALIAS_NONE);
    setColor(art.cr, {44, 50, 54});
    cairo_set_line_width(art.cr, 1.0);
    cairo_move_to(art.cr, 46.5, 4);
    cairo_line_to(art.cr, 46.5, 88);
    cairo_move_to(art.cr, 4, 46.5);
    cairo_line_to(art.cr, 88, 46.5);
    cairo_stroke(art.cr);
    cairo_set_antialias(art.cr, CAIRO_ANTIALIAS_DEFAULT);
    for (double r : {14.0, 28.0})
    {
        setColor(art.cr, {34, 38, 42});
        cairo_arc(art.cr, 46, 46, r, 0, 2 * kPi);
        cairo_stroke(art.cr);
    }
    finishOpaque(art);
    sink.add(bitmap::kMeterBackground, art);
}

// A solid level fan growing from one corner of a 42 x 42 picture: a quarter
// disc coloured by distance, cut into LED rings by thin dark gaps.
void levelFan(ArtSink& sink, int id, double cornerX, double cornerY)
{
    Art art(42, 42);
    for (double r = 42.0; r > 0.0; r -= 4.0) {
        setColor(art.cr, levelColour((r - 2.0) / 42.0));
        cairo_move_to(art.cr, cornerX, cornerY);
        cairo_arc(art.cr, cornerX, cornerY, r, 0, 2 * kPi);
        cairo_close_path(art.cr);
        cairo_fill(art.cr);
        setColor(art.cr, {12, 14, 16}, 0.85);
        cairo_set_line_width(art.cr, 1.0);
        cairo_arc(art.cr, cornerX, cornerY, r - 3.5, 0, 2 * kPi);
        cairo_stroke(art.cr);
    }
    finishKeyed(art, kMeterBack);
    sink.add(id, art);
}

// Diagonal stripes over the whole picture; `falling` runs them like "\".
void stripes(ArtSink& sink, int id, int w, int h, bool falling)
{
    Art art(w, h);
    setColor(art.cr, {86, 150, 190});
    cairo_set_line_width(art.cr, 1.6);
    for (int k = -h; k < w + h; k += 4) {
        if (falling) {
            cairo_move_to(art.cr, k, 0);
            cairo_line_to(art.cr, k + h, h);
        } else {
            cairo_move_to(art.cr, k, h);
            cairo_line_to(art.cr, k + h, 0);
        }
    }
    cairo_stroke(art.cr);
    finishKeyed(art, kMeterBack);
    sink.add(id, art);
}

// The centre speaker's level bar: grows downwards, 3-pixel segments.
void levelBar(ArtSink& sink)
{
    Art art(10, 36);
    for (int y = 0; y < 36; y += 3) {
        setColor(art.cr, levelColour((y + 2) / 36.0));
        cairo_rectangle(art.cr, 1, y, 8, 2);
        cairo_fill(art.cr);
    }
    finishKeyed(art, kMeterBack);
    sink.add(bitmap::kLevelBar, art);
}

void speakerLabel(ArtSink& sink, int id, int w, int h, const std::string& text, double size)
{
    Art art(w, h);
    roundedRect(art.cr, 0.5, 0.5, w - 1, h - 1, std::min(w, h) / 3.0);
    setColor(art.cr, {64, 70, 78});
    cairo_fill(art.cr);
    drawText(art.cr, text, 0, 0, w, h, size, true, {236, 226, 200});
    finishKeyed(art, kMeterBack);
    sink.add(id, art);
}

} // namespace

void drawMeters(ArtSink& sink)
{
    meterBackground(sink);
    levelFan(sink, bitmap::kLevelFanTopLeft, 0, 0);
    levelFan(sink, bitmap::kLevelFanTopRight, 42, 0);
    levelFan(sink, bitmap::kLevelFanBottomLeft, 0, 42);
    levelFan(sink, bitmap::kLevelFanBottomRight, 42, 42);
    stripes(sink, bitmap::kGainStripesFalling, 46, 46, true);
    stripes(sink, bitmap::kGainStripesRising, 46, 46, false);
    stripes(sink, bitmap::kCentreStripes, 18, 40, true);
    levelBar(sink);
    for (int k = 0; k < 4; ++k)
        speakerLabel(sink, bitmap::kSpeakerLabel1 + k, 12, 12, std::to_string(k + 1), 9);
    speakerLabel(sink, bitmap::kSpeakerLabel5, 22, 8, "5", 7);
}

} // namespace ovinta
