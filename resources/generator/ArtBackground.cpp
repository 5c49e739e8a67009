// SPDX-License-Identifier: GPL-3.0-or-later
// The 704 x 560 window background: plate, section panels with their titles,
// screen bezels, and a label for every control, aligned to the controls'
// rectangles as the layout places them.

#include "ArtCommon.h"

#include <cstdint>
#include <numbers>
#include <string>

namespace ovinta {

namespace {

constexpr int kWidth = layout::kWindowWidth;
constexpr int kHeight = layout::kWindowHeight;

struct Section {
    int l, t, r, b; // outer rectangle
};

// Fine deterministic grain so the plate does not look flat.
void plate(Art& art)
{
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kHeight);
    cairo_pattern_add_color_stop_rgb(g, 0, 33 / 255.0, 34 / 255.0, 38 / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 22 / 255.0, 23 / 255.0, 26 / 255.0);
    cairo_set_source(art.cr, g);
    cairo_paint(art.cr);
    cairo_pattern_destroy(g);
    cairo_surface_flush(art.surface);
    unsigned char* data = cairo_image_surface_get_data(art.surface);
    const int stride = cairo_image_surface_get_stride(art.surface);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = static_cast<int>((seed >> 24) % 5) - 2;
            uint32_t p = row[x];
            auto ch = [&](int shift) {
                const int v = static_cast<int>((p >> shift) & 0xFF) + n;
                return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            };
            row[x] = 0xFF000000u | (ch(16) << 16) | (ch(8) << 8) | ch(0);
        }
    }
    cairo_surface_mark_dirty(art.surface);
}

void section(Art& art, const Section& s)
{
    cairo_t* cr = art.cr;
    const double w = s.r - s.l;
    const double h = s.b - s.t;
    // Drop shadow, then the flat interior that the control films match.
    roundedRect(cr, s.l + 1, s.t + 2, w, h, 5);
    setColor(cr, palette::shadow, 0.6);
    cairo_fill(cr);
    roundedRect(cr, s.l + 0.5, s.t + 0.5, w - 1, h - 1, 5);
    setColor(cr, palette::section);
    cairo_fill_preserve(cr);
    setColor(cr, palette::sectionEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    setColor(cr, {255, 255, 255}, 0.06);
    cairo_move_to(cr, s.l + 5, s.t + 1.5);
    cairo_line_to(cr, s.r - 5, s.t + 1.5);
    cairo_stroke(cr);
}

// A recessed frame around a screen whose picture covers (l, t)-(r, b).
void bezel(Art& art, int l, int t, int r, int b)
{
    cairo_t* cr = art.cr;
    roundedRect(cr, l - 3.5, t - 3.5, r - l + 7, b - t + 7, 4);
    setColor(cr, {6, 6, 7});
    cairo_fill_preserve(cr);
    setColor(cr, {70, 72, 78});
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    fillRect(cr, l, t, r - l, b - t, {0, 0, 0});
}

void title(Art& art, const std::string& text, int x, int y, int w = 200)
{
    drawText(art.cr, text, x, y, w, 12, 10, true, palette::title, Align::Left, 1.0);
}

// A control label centred over (or under) the control's columns.
void label(Art& art, const std::string& text, int x, int y, int w, int h = 11, double size = 9)
{
    drawText(art.cr, text, x - 6, y, w + 12, h, size, true, palette::label, Align::Centre, 0.1);
}

// A label over the columns of a control's rectangle, its top at `y`.
void labelOver(Art& art, const std::string& text, const CRect& control, int y)
{
    label(art, text, control.left, y, control.width());
}

void knobLabel(Art& art, const std::string& text, int tag, int y)
{
    labelOver(art, text, layout::knobRect(tag), y);
}

void bezel(Art& art, const CRect& screen)
{
    bezel(art, screen.left, screen.top, screen.right, screen.bottom);
}

void divider(Art& art, int x, int t, int b)
{
    setColor(art.cr, {24, 25, 28});
    cairo_set_line_width(art.cr, 1.0);
    cairo_move_to(art.cr, x + 0.5, t);
    cairo_line_to(art.cr, x + 0.5, b);
    cairo_stroke(art.cr);
    setColor(art.cr, {62, 64, 69});
    cairo_move_to(art.cr, x + 1.5, t);
    cairo_line_to(art.cr, x + 1.5, b);
    cairo_stroke(art.cr);
}

void rightColumnUpper(Art& art)
{
    // Walls and ray count.
    section(art, {428, 6, 700, 102});
    title(art, "WALLS", 436, 11);
    title(art, "RAYS", 652, 11, 44);
    divider(art, 641, 12, 96);
    knobLabel(art, "ABSORB", param::kAbsorb, 28);
    knobLabel(art, "HI-CUT", param::kHiCut, 28);
    knobLabel(art, "SCATTER", param::kScatter, 28);
    knobLabel(art, "HEIGHT", param::kHeight, 28);
    knobLabel(art, "COUNT", param::kNumRays, 28);

    // Air.
    section(art, {428, 106, 537, 214});
    title(art, "AIR", 436, 111);
    knobLabel(art, "ABSORB", param::kAbsorbAir, 139);
    knobLabel(art, "HI-CUT", param::kHiCutAir, 139);

    // Equaliser: bands in columns, Freq/Gain/Width in rows.
    section(art, {541, 106, 700, 226});
    title(art, "PARAMETRIC EQ", 549, 111, 140);
    for (int band = 0; band < 4; ++band)
        drawText(art.cr, std::to_string(band + 1), layout::kEqColumnLeft[band], 125, layout::kEqKnobWidth, 11, 9,
                 true, palette::title);
    const char* rows[3] = {"FREQ", "GAIN", "WIDTH"};
    for (int row = 0; row < 3; ++row)
        drawText(art.cr, rows[row], 543, layout::kEqRowTop[row], 28, layout::kEqKnobHeight, 8, true, palette::label,
                 Align::Right);
    drawText(art.cr, "CURVE", 584, 203, 60, 14, 8, true, palette::dimLabel, Align::Left, 0.6);

}

void rightColumnLower(Art& art)
{
    // Listener (pre-delay, scale, head angle) and return (wet, dry).
    section(art, {428, 230, 700, 326});
    title(art, "LISTENER", 436, 235);
    title(art, "RETURN", 600, 235, 90);
    divider(art, 591, 236, 320);
    knobLabel(art, "PREDELAY", param::kPreDelay, 251);
    knobLabel(art, "SCALE", param::kScale, 251);
    labelOver(art, "HEAD", layout::kHeadAngleRect, 251);
    knobLabel(art, "WET", param::kGain, 251);
    knobLabel(art, "DRY", param::kDryOut, 251);

    // Routing: source buttons, input and output pins.
    section(art, {428, 330, 700, 386});
    divider(art, 495, 336, 381);
    title(art, "INPUTS", 501, 337, 60);
    title(art, "OUTPUT PINS", 566, 337, 120);
    labelOver(art, "1", layout::kInputPinRects[0], 354);
    labelOver(art, "2", layout::kInputPinRects[1], 354);
    const char* outputs[5] = {"L", "R", "Ls", "Rs", "C"};
    for (int k = 0; k < 5; ++k)
        label(art, outputs[k], layout::kOutputPinLeft[k], 354, layout::kPinWidth);

    // Diffusion.
    section(art, {428, 390, 588, 540});
    title(art, "DIFFUSION", 436, 395);
    knobLabel(art, "GAIN", param::kDiffusion, 411);
    knobLabel(art, "SCALE", param::kDiffSize, 411);
    knobLabel(art, "ST. WIDTH", param::kDiffLoPass, 411);
    drawText(art.cr, "PITCH BEND", layout::kBendRect.left, 491, layout::kBendRect.width(), 12, 9, true, palette::label,
             Align::Left, 0.4);

    // Surround meter and panner, export, number of outputs.
    section(art, {590, 490, 700, 537});
    bezel(art, layout::kMeterScreenRect);
    // Beside the meter, reading upwards.
    cairo_save(art.cr);
    cairo_translate(art.cr, 692, 484);
    cairo_rotate(art.cr, -std::numbers::pi / 2);
    drawText(art.cr, "SURROUND", 0, 0, 92, 9, 8, true, palette::title, Align::Centre, 1.0);
    cairo_restore(art.cr);
    label(art, "OUTPUTS", layout::kOutputsRect.left, 519, layout::kOutputsRect.width(), 12, 8);
}

void leftColumn(Art& art)
{
    bezel(art, layout::kMainScreenRect);
    bezel(art, layout::kImpulseScreenRect);
    // The strip between the two impulse panels.
    fillRect(art.cr, 208, 424, 8, 80, {10, 10, 11});
    // Brand and program selector along the bottom edge.
    drawText(art.cr, "OVINTA", 8, 538, 100, 20, 17, true, palette::title, Align::Left, 2.0);
    drawText(art.cr, "PROGRAM", 104, 537, 56, 16, 9, true, palette::label, Align::Right, 0.6);
    drawText(art.cr, "Fenwardy  \xC2\xB7  room simulation reverb", 428, 542, 210, 14, 9, false, palette::dimLabel,
             Align::Left, 0.3);
}

} // namespace

void drawBackground(ArtSink& sink)
{
    Art art(kWidth, kHeight);
    plate(art);
    leftColumn(art);
    rightColumnUpper(art);
    rightColumnLower(art);
    finishOpaque(art);
    sink.add(bitmap::kBackground, art);
}

} // namespace ovinta
