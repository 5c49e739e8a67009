// SPDX-License-Identifier: GPL-3.0-or-later
// Knob films: 64 frames each, baked on the section colour so that the
// plug-in can copy them without redrawing the panel first.

#include "ArtCommon.h"

#include <cmath>
#include <numbers>

namespace ovinta {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kFrames = 64;

struct KnobLook {
    Rgb bodyLight;   // top-left of the body gradient
    Rgb bodyDark;    // bottom-right
    Rgb pointer;
};

constexpr KnobLook kLightKnob{{214, 212, 206}, {128, 126, 122}, {34, 32, 30}};
constexpr KnobLook kYellowKnob{{246, 206, 104}, {170, 118, 34}, {46, 30, 10}};
constexpr KnobLook kSmallKnob{{196, 194, 188}, {110, 108, 104}, {30, 28, 26}};

// Screen point at `radius` from the centre along math angle `a` (y up).
void polar(double cx, double cy, double radius, double a, double& x, double& y)
{
    x = cx + radius * std::cos(a);
    y = cy - radius * std::sin(a);
}

void knobBody(cairo_t* cr, double cx, double cy, double r, const KnobLook& look)
{
    // Soft shadow below the knob.
    for (int i = 3; i >= 1; --i) {
        setColor(cr, palette::shadow, 0.18);
        cairo_arc(cr, cx, cy + 1.2, r + i * 0.7, 0, 2 * kPi);
        cairo_fill(cr);
    }
    // Dark skirt, then the body with a diagonal light.
    setColor(cr, {18, 18, 20});
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(body, 0, look.bodyLight.r / 255, look.bodyLight.g / 255, look.bodyLight.b / 255);
    cairo_pattern_add_color_stop_rgb(body, 1, look.bodyDark.r / 255, look.bodyDark.g / 255, look.bodyDark.b / 255);
    cairo_set_source(cr, body);
    cairo_arc(cr, cx, cy, r - 1.2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // A cap, slightly domed.
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.35, 0.5, cx, cy, r * 0.8);
    cairo_pattern_add_color_stop_rgba(cap, 0, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(cap, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, cap);
    cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    setColor(cr, {0, 0, 0}, 0.25);
    cairo_set_line_width(cr, 0.8);
    cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * kPi);
    cairo_stroke(cr);
}

void pointerLine(cairo_t* cr, double cx, double cy, double inner, double outer, double a, Rgb c, double width)
{
    double x0, y0, x1, y1;
    polar(cx, cy, inner, a, x0, y0);
    polar(cx, cy, outer, a, x1, y1);
    setColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

// Scale arc from 7 o'clock to 5 o'clock with the part up to `t` lit.
void valueArc(cairo_t* cr, double cx, double cy, double radius, double t, double width)
{
    const double start = 225.0 * kPi / 180.0;
    const double sweep = 270.0 * kPi / 180.0;
    // cairo's angles run clockwise on screen; ours run counter-clockwise.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    setColor(cr, {20, 21, 24});
    cairo_arc(cr, cx, cy, radius, -start, -start + sweep);
    cairo_stroke(cr);
    if (t > 0.0) {
        setColor(cr, palette::accent);
        cairo_arc(cr, cx, cy, radius, -start, -start + sweep * t);
        cairo_stroke(cr);
    }
    // End marks.
    for (double e : {0.0, 1.0}) {
        double x, y;
        polar(cx, cy, radius + 2.5, start - sweep * e, x, y);
        setColor(cr, palette::dimLabel);
        cairo_arc(cr, x, y, 0.8, 0, 2 * kPi);
        cairo_fill(cr);
    }
}

void sweepKnobFilm(ArtSink& sink, int id, int w, int h, double r, double arcRadius, const KnobLook& look)
{
    Art art(w, h * kFrames);
    fillRect(art.cr, 0, 0, w, h * kFrames, palette::section);
    for (int f = 0; f < kFrames; ++f) {
        const double t = f / double(kFrames - 1);
        const double cx = w / 2.0;
        const double cy = f * h + h / 2.0;
        const double a = (225.0 - 270.0 * t) * kPi / 180.0;
        if (arcRadius > 0)
            valueArc(art.cr, cx, cy, arcRadius, t, 2.0);
        knobBody(art.cr, cx, cy, r, look);
        pointerLine(art.cr, cx, cy, r * 0.3, r - 2.0, a, look.pointer, r > 10 ? 2.2 : 1.6);
    }
    finishOpaque(art);
    sink.add(id, art);
}

// The head-angle knob: a compass ring of 32 dots with the pointer turning
// once around, frame 0 pointing down and the frames going clockwise.
void headKnobFilm(ArtSink& sink)
{
    const int w = layout::kHeadAngleRect.width();
    const int h = layout::kHeadAngleFrameHeight;
    Art art(w, h * kFrames);
    fillRect(art.cr, 0, 0, w, h * kFrames, palette::section);
    for (int f = 0; f < kFrames; ++f) {
        const double cx = w / 2.0;
        const double cy = f * h + h / 2.0;
        const double a = (-90.0 - f * 360.0 / kFrames) * kPi / 180.0;
        for (int k = 0; k < 32; ++k) {
            double x, y;
            polar(cx, cy, 19.0, k * 2 * kPi / 32, x, y);
            const bool major = k % 8 == 0;
            setColor(art.cr, major ? palette::label : palette::dimLabel);
            cairo_arc(art.cr, x, y, major ? 1.2 : 0.7, 0, 2 * kPi);
            cairo_fill(art.cr);
        }
        knobBody(art.cr, cx, cy, 14.0, kLightKnob);
        // An arrow head on the rim shows where the listener faces.
        double tx, ty, lx, ly, rx, ry;
        polar(cx, cy, 13.0, a, tx, ty);
        polar(cx, cy, 7.0, a + 0.42, lx, ly);
        polar(cx, cy, 7.0, a - 0.42, rx, ry);
        setColor(art.cr, {200, 90, 30});
        cairo_move_to(art.cr, tx, ty);
        cairo_line_to(art.cr, lx, ly);
        cairo_line_to(art.cr, rx, ry);
        cairo_close_path(art.cr);
        cairo_fill(art.cr);
        pointerLine(art.cr, cx, cy, 0.0, 7.0, a, kLightKnob.pointer, 1.6);
        // The lit dot on the ring under the pointer.
        double dx, dy;
        polar(cx, cy, 19.0, a, dx, dy);
        setColor(art.cr, palette::accent);
        cairo_arc(art.cr, dx, dy, 1.8, 0, 2 * kPi);
        cairo_fill(art.cr);
    }
    finishOpaque(art);
    sink.add(bitmap::kHeadAngleFilm, art);
}

} // namespace

void drawKnobFilms(ArtSink& sink)
{
    const CRect big = layout::knobRect(param::kGain);
    sweepKnobFilm(sink, bitmap::kKnobFilm, big.width(), big.height(), 12.5, 17.0, kLightKnob);
    sweepKnobFilm(sink, bitmap::kYellowKnobFilm, big.width(), big.height(), 12.5, 17.0, kYellowKnob);
    sweepKnobFilm(sink, bitmap::kEqKnobFilm, layout::kEqKnobWidth, layout::kEqKnobHeight, 7.0, 0.0, kSmallKnob);
    headKnobFilm(sink);
}

} // namespace ovinta
