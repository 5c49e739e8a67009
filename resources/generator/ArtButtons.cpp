// SPDX-License-Identifier: GPL-3.0-or-later
// Button films (off on top, on or pressed below), the outputs selector, the
// program step arrows and the diffusion bend slider.

#include "ArtCommon.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace ovinta {

namespace {

constexpr double kPi = std::numbers::pi;

enum class Kind { Toggle, Kick };

struct ButtonSpec {
    int id;
    int w;
    int frameH;
    std::vector<std::string> lines; // caption, one entry per line
    Kind kind;
    Rgb corner;                     // colour around the rounded corners
};

// One button face in the box (x, y, w, h).
void face(cairo_t* cr, double x, double y, double w, double h, bool lit, bool pressed, Rgb corner)
{
    fillRect(cr, x, y, w, h, corner);
    const double inset = 0.5;
    const double shift = pressed ? 1.0 : 0.0;
    // Body with a soft vertical light.
    roundedRect(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, 3.0);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    const double top = pressed ? 0.17 : (lit ? 0.30 : 0.27);
    const double bottom = pressed ? 0.12 : (lit ? 0.20 : 0.16);
    cairo_pattern_add_color_stop_rgb(g, 0, top, top * 0.98, top * 0.94);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom, bottom * 0.98, bottom * 0.95);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, {8, 8, 9});
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Top highlight line.
    if (!pressed) {
        setColor(cr, {255, 255, 255}, 0.12);
        cairo_move_to(cr, x + 3, y + 1.5 + shift);
        cairo_line_to(cr, x + w - 3, y + 1.5 + shift);
        cairo_stroke(cr);
    }
}

void led(cairo_t* cr, double cx, double cy, bool lit)
{
    if (lit) {
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0.5, cx, cy, 5.5);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.75, 0.3, 0.55);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.6, 0.2, 0.0);
        cairo_set_source(cr, glow);
        cairo_arc(cr, cx, cy, 5.5, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    setColor(cr, lit ? Rgb{255, 196, 90} : Rgb{70, 58, 44});
    cairo_arc(cr, cx, cy, 2.0, 0, 2 * kPi);
    cairo_fill(cr);
}

void caption(cairo_t* cr, const std::vector<std::string>& lines, double x, double y, double w, double h, bool lit,
             double size)
{
    const Rgb ink = lit ? Rgb{255, 214, 140} : Rgb{206, 202, 194};
    const double lineH = size + 2.0;
    const double count = static_cast<double>(lines.size());
    const double top = y + (h - lineH * count) / 2.0;
    double lineTop = top;
    for (const std::string& line : lines) {
        drawText(cr, line, x, lineTop, w, lineH, size, true, ink);
        lineTop += lineH;
    }
}

void buttonFilm(ArtSink& sink, const ButtonSpec& b)
{
    Art art(b.w, b.frameH * 2);
    for (int state = 0; state < 2; ++state) {
        const double y = state * b.frameH;
        const bool on = state == 1;
        const bool pressed = on && b.kind == Kind::Kick;
        const bool lit = on && b.kind == Kind::Toggle;
        face(art.cr, 0, y, b.w, b.frameH, lit, pressed, b.corner);
        const double shift = pressed ? 1.0 : 0.0;
        // Narrow buttons and those sharing their width with an LED use the smaller size.
        const double size = b.lines.size() > 1 || b.w <= 48 ? 10.0 : 11.0;
        // Toggles carry an LED at the left when there is room for it.
        if (b.kind == Kind::Toggle && b.w >= 44 && b.lines.size() == 1) {
            led(art.cr, 8.0, y + b.frameH / 2.0, lit);
            caption(art.cr, b.lines, 12, y + shift, b.w - 14, b.frameH, lit, size);
        } else if (b.kind == Kind::Toggle && b.lines.size() > 1) {
            led(art.cr, b.w / 2.0, y + 7.0, lit);
            caption(art.cr, b.lines, 0, y + 8 + shift, b.w, b.frameH - 8, lit, size);
        } else {
            caption(art.cr, b.lines, 0, y + shift, b.w, b.frameH, lit, size);
        }
    }
    finishOpaque(art);
    sink.add(b.id, art);
}

void arrowFilm(ArtSink& sink, int id, bool right)
{
    const int w = 24;
    const int h = 20;
    Art art(w, h * 2);
    for (int state = 0; state < 2; ++state) {
        const double y = state * h;
        face(art.cr, 0, y, w, h, false, state == 1, palette::plate);
        const double s = state == 1 ? 1.0 : 0.0;
        const double cx = w / 2.0;
        const double cy = y + h / 2.0 + s;
        const double d = right ? 1.0 : -1.0;
        setColor(art.cr, state == 1 ? palette::accent : Rgb{206, 202, 194});
        cairo_move_to(art.cr, cx + 4.0 * d, cy);
        cairo_line_to(art.cr, cx - 3.0 * d, cy - 5.0);
        cairo_line_to(art.cr, cx - 3.0 * d, cy + 5.0);
        cairo_close_path(art.cr);
        cairo_fill(art.cr);
    }
    finishOpaque(art);
    sink.add(id, art);
}

// Three states, each normal then pressed: "2 Outputs", "4 Outputs", "5 Outputs".
void outputsSelector(ArtSink& sink)
{
    const int w = layout::kOutputsRect.width();
    const int h = layout::kOutputsFrameHeight;
    Art art(w, h * layout::kOutputsFrames);
    const char* names[3] = {"2 Outputs", "4 Outputs", "5 Outputs"};
    for (int s = 0; s < 3; ++s) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            const double y = (2 * s + pressed) * h;
            face(art.cr, 0, y, w, h, false, pressed == 1, palette::section);
            // Dots show how many of the three layouts this is.
            for (int k = 0; k < 3; ++k) {
                setColor(art.cr, k <= s ? palette::accent : Rgb{70, 58, 44});
                cairo_arc(art.cr, 6.0, y + 5.5 + k * 5.0 + pressed, 1.5, 0, 2 * kPi);
                cairo_fill(art.cr);
            }
            caption(art.cr, {names[s]}, 9, y + pressed, w - 10, h, false, 10.5);
        }
    }
    finishOpaque(art);
    sink.add(bitmap::kOutputsFilm, art);
}

void slider(ArtSink& sink)
{
    {
        Art groove(140, 24);
        fillRect(groove.cr, 0, 0, 140, 24, palette::section);
        // Tick marks above and below the slot, a centre mark in amber.
        for (int k = 0; k <= 10; ++k) {
            const double x = 4.5 + k * 13.1;
            setColor(groove.cr, k == 5 ? palette::accent : palette::dimLabel);
            cairo_set_line_width(groove.cr, 1.0);
            cairo_move_to(groove.cr, std::round(x) + 0.5, 2);
            cairo_line_to(groove.cr, std::round(x) + 0.5, k % 5 == 0 ? 8 : 6);
            cairo_move_to(groove.cr, std::round(x) + 0.5, 22);
            cairo_line_to(groove.cr, std::round(x) + 0.5, k % 5 == 0 ? 16 : 18);
            cairo_stroke(groove.cr);
        }
        roundedRect(groove.cr, 2.5, 10.5, 135, 4, 2);
        setColor(groove.cr, {10, 10, 12});
        cairo_fill_preserve(groove.cr);
        setColor(groove.cr, {90, 92, 96});
        cairo_set_line_width(groove.cr, 1.0);
        cairo_stroke(groove.cr);
        finishOpaque(groove);
        sink.add(bitmap::kBendGroove, groove);
    }
    Art handle(9, 24);
    fillRect(handle.cr, 0, 0, 9, 24, palette::section);
    roundedRect(handle.cr, 0.5, 1.5, 8, 21, 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 9, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.85, 0.84, 0.80);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.45, 0.44, 0.42);
    cairo_set_source(handle.cr, g);
    cairo_fill_preserve(handle.cr);
    cairo_pattern_destroy(g);
    setColor(handle.cr, {10, 10, 12});
    cairo_set_line_width(handle.cr, 1.0);
    cairo_stroke(handle.cr);
    setColor(handle.cr, {40, 30, 20});
    cairo_move_to(handle.cr, 4.5, 5);
    cairo_line_to(handle.cr, 4.5, 19);
    cairo_stroke(handle.cr);
    finishOpaque(handle);
    sink.add(bitmap::kBendHandle, handle);
}

} // namespace

void drawButtons(ArtSink& sink)
{
    const Rgb plate = palette::plate;
    const Rgb section = palette::section;
    const ButtonSpec specs[] = {
        {bitmap::kStereoButton, 60, 21, {"Stereo"}, Kind::Toggle, section},
        {bitmap::kReverseButton, 60, 21, {"Reverse"}, Kind::Toggle, section},
        {bitmap::kUndoButton, 48, 22, {"Undo"}, Kind::Kick, plate},
        {bitmap::kClearButton, 48, 22, {"Clear"}, Kind::Kick, plate},
        {bitmap::kHelpButton, 48, 22, {"HELP"}, Kind::Toggle, plate},
        {bitmap::kLinesButton, 48, 22, {"Line"}, Kind::Toggle, plate},
        {bitmap::kBoxesButton, 48, 22, {"Box"}, Kind::Toggle, plate},
        {bitmap::kEditButton, 48, 22, {"Edit"}, Kind::Toggle, plate},
        {bitmap::kMirrorButton, 48, 22, {"Mirror"}, Kind::Toggle, plate},
        {bitmap::k3DViewButton, 60, 22, {"3D View"}, Kind::Toggle, plate},
        {bitmap::kEqViewButton, 34, 20, {"View"}, Kind::Toggle, section},
        {bitmap::kExportButton, 36, 38, {"Export", "I.R."}, Kind::Toggle, section},
    };
    for (const ButtonSpec& b : specs)
        buttonFilm(sink, b);
    arrowFilm(sink, bitmap::kPreviousButton, false);
    arrowFilm(sink, bitmap::kNextButton, true);
    outputsSelector(sink);
    slider(sink);
}

} // namespace ovinta
