// SPDX-License-Identifier: GPL-3.0-or-later
// Screen backgrounds and sprites: edit grid, 3D and EQ views, the export
// page, the impulse panels, the band digits and the marker strip.

#include "ArtCommon.h"

#include <cmath>
#include <numbers>

namespace ovinta {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kScreen = 408;

void crispLine(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double alpha = 1.0)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    setColor(cr, c, alpha);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_stroke(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}

void screenBase(Art& art, Rgb top, Rgb bottom)
{
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, art.h);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r / 255, top.g / 255, top.b / 255);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r / 255, bottom.g / 255, bottom.b / 255);
    cairo_set_source(art.cr, g);
    cairo_paint(art.cr);
    cairo_pattern_destroy(g);
}

// 50 x 50 metres at 8 pixels per metre; metre m lies on pixel 8m + 4.
void editGrid(ArtSink& sink)
{
    Art art(kScreen, kScreen);
    screenBase(art, {20, 24, 27}, {14, 17, 19});
    for (int m = 0; m <= 50; ++m) {
        const double p = 8 * m + 4;
        const bool major = m % 5 == 0;
        const bool edge = m == 0 || m == 50;
        const Rgb c = edge ? Rgb{86, 96, 98} : major ? Rgb{50, 58, 60} : Rgb{30, 35, 38};
        crispLine(art.cr, 4, p, 404, p, c);
        crispLine(art.cr, p, 4, p, 404, c);
    }
    // Small crosses on the 10-metre points.
    for (int i = 10; i < 50; i += 10)
        for (int j = 10; j < 50; j += 10) {
            const double x = 8 * i + 4;
            const double y = 8 * j + 4;
            crispLine(art.cr, x - 2, y, x + 3, y, {110, 122, 124});
            crispLine(art.cr, x, y - 2, x, y + 3, {110, 122, 124});
        }
    finishOpaque(art);
    sink.add(bitmap::kEditGrid, art);
}

void view3d(ArtSink& sink)
{
    Art art(kScreen, kScreen);
    screenBase(art, {24, 30, 40}, {10, 11, 14});
    // A faint horizon glow.
    cairo_pattern_t* glow = cairo_pattern_create_radial(204, 170, 10, 204, 170, 260);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.55, 0.45, 0.30, 0.18);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.0, 0.0, 0.0, 0.0);
    cairo_set_source(art.cr, glow);
    cairo_paint(art.cr);
    cairo_pattern_destroy(glow);
    drawText(art.cr, "3D VIEW", 0, 388, 402, 14, 9, true, {90, 96, 104}, Align::Right, 1.0);
    drawText(art.cr, "left drag: turn    right drag: pan / zoom", 8, 388, 300, 14, 9, false, {90, 96, 104},
             Align::Left);
    finishOpaque(art);
    sink.add(bitmap::k3DBackground, art);
}

int eqX(double hz)
{
    return static_cast<int>(400.0 * std::cbrt(hz * 8192.0 / 44100.0 / 4096.0));
}

void eqView(ArtSink& sink)
{
    Art art(kScreen, kScreen);
    screenBase(art, {22, 20, 18}, {14, 13, 12});
    for (int d = -25; d <= 25; d += 5) {
        const int y = static_cast<int>(204 - 6.4 * d);
        crispLine(art.cr, 36, y, 404, y, d == 0 ? Rgb{120, 100, 70} : Rgb{44, 40, 36});
    }
    // Minor lines only where the cube-root scale leaves room for them.
    for (double f : {300.0, 400.0, 600.0, 700.0, 800.0, 900.0, 3000.0, 4000.0,
                     6000.0, 7000.0, 8000.0, 9000.0})
        crispLine(art.cr, eqX(f), 44, eqX(f), 364, {32, 30, 28});
    for (double f : {50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0})
        crispLine(art.cr, eqX(f), 18, eqX(f), 390, {54, 48, 42});
    finishOpaque(art);
    sink.add(bitmap::kEqBackground, art);
}

void optionBoxes(cairo_t* cr, int x0, int y0, int count)
{
    for (int i = 0; i < count; ++i) {
        const double x = x0 + 88 * i;
        roundedRect(cr, x + 0.5, y0 + 0.5, 79, 15, 2);
        setColor(cr, {34, 36, 42});
        cairo_fill_preserve(cr);
        setColor(cr, {70, 72, 80});
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
}

void exportPage(ArtSink& sink)
{
    Art art(kScreen, kScreen);
    screenBase(art, {30, 32, 40}, {18, 19, 24});
    const Rgb ink{206, 202, 194};
    drawText(art.cr, "EXPORT IMPULSE RESPONSE", 0, 16, kScreen, 24, 18, true, palette::title, Align::Centre, 1.0);
    crispLine(art.cr, 32, 46, 376, 46, {70, 72, 80});
    drawText(art.cr, "Choose a sample rate, a format and normalisation,", 32, 56, 344, 14, 12, false, ink,
             Align::Left);
    drawText(art.cr, "then press SAVE and give the file a name.", 32, 72, 344, 14, 12, false, ink, Align::Left);
    drawText(art.cr, "SAMPLE RATE", 32, 110, 200, 14, 11, true, palette::title, Align::Left, 1.0);
    optionBoxes(art.cr, 32, 128, 3);
    drawText(art.cr, "FORMAT", 32, 166, 200, 14, 11, true, palette::title, Align::Left, 1.0);
    optionBoxes(art.cr, 32, 184, 3);
    drawText(art.cr, "NORMALISE", 32, 222, 200, 14, 11, true, palette::title, Align::Left, 1.0);
    optionBoxes(art.cr, 32, 240, 2);
    drawText(art.cr, "Each output channel is written to its own file;", 32, 272, 344, 14, 11, false, ink,
             Align::Left);
    drawText(art.cr, "the channel number is added to the chosen name.", 32, 288, 344, 14, 11, false, ink,
             Align::Left);
    optionBoxes(art.cr, 32, 320, 1);
    finishOpaque(art);
    sink.add(bitmap::kExportPage, art);
}

// Two 200 x 80 panels: volume response on top, filter response below, with
// a seconds scale at 64 pixels per second.
void impulsePanels(ArtSink& sink)
{
    Art art(200, 160);
    const char* captions[2] = {"VOLUME RESPONSE", "FILTER RESPONSE"};
    for (int p = 0; p < 2; ++p) {
        const double y = p * 80;
        cairo_save(art.cr);
        cairo_rectangle(art.cr, 0, y, 200, 80);
        cairo_clip(art.cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + 80);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.09, 0.10, 0.11);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.05, 0.05, 0.06);
        cairo_set_source(art.cr, g);
        cairo_paint(art.cr);
        cairo_pattern_destroy(g);
        for (int level = 1; level < 4; ++level)
            crispLine(art.cr, 0, y + 72 - level * 18, 199, y + 72 - level * 18, {28, 30, 32});
        crispLine(art.cr, 0, y + 72, 199, y + 72, {70, 66, 58});
        for (int s = 1; s <= 3; ++s) {
            const int x = 64 * s;
            crispLine(art.cr, x, y + 12, x, y + 72, {44, 44, 46});
            crispLine(art.cr, x, y + 72, x, y + 77, {140, 130, 110});
            // The last mark is near the right edge: its label goes left of it.
            if (s < 3)
                drawText(art.cr, std::to_string(s) + " s", x + 2, y + 13, 30, 9, 8, false, {120, 114, 100}, Align::Left);
            else
                drawText(art.cr, std::to_string(s) + " s", x - 32, y + 13, 30, 9, 8, false, {120, 114, 100},
                         Align::Right);
        }
        drawText(art.cr, captions[p], 4, y + 1, 192, 11, 9, true, palette::title, Align::Left, 0.8);
        cairo_restore(art.cr);
    }
    finishOpaque(art);
    sink.add(bitmap::kImpulsePanels, art);
}

// Band markers 1..4, 9 x 10 cells, white around them.
void bandDigits(ArtSink& sink)
{
    Art art(9, 40);
    for (int d = 0; d < 4; ++d) {
        const double cy = d * 10 + 4.5;
        setColor(art.cr, {236, 200, 120});
        cairo_arc(art.cr, 4.5, cy, 4.4, 0, 2 * kPi);
        cairo_fill(art.cr);
        drawText(art.cr, std::to_string(d + 1), 0, cy - 4.5, 9, 9, 8, true, {40, 24, 10});
    }
    finishKeyed(art, {22, 20, 18});
    sink.add(bitmap::kBandDigits, art);
}

// Four 16 x 16 sprites: yellow ring, red "L", green "R", purple dot.
void markers(ArtSink& sink)
{
    Art art(16, 64);
    setColor(art.cr, {255, 236, 120});
    cairo_set_line_width(art.cr, 2.2);
    cairo_arc(art.cr, 8, 8, 5.6, 0, 2 * kPi);
    cairo_stroke(art.cr);
    setColor(art.cr, {255, 250, 200});
    cairo_arc(art.cr, 8, 8, 1.6, 0, 2 * kPi);
    cairo_fill(art.cr);
    const Rgb discs[2] = {{226, 84, 76}, {84, 196, 96}};
    const char* letters[2] = {"L", "R"};
    for (int k = 0; k < 2; ++k) {
        const double cy = 16 * (k + 1) + 8;
        setColor(art.cr, discs[k]);
        cairo_arc(art.cr, 8, cy, 6.8, 0, 2 * kPi);
        cairo_fill(art.cr);
        drawText(art.cr, letters[k], 0, cy - 7, 16, 14, 10, true, {20, 16, 14});
    }
    setColor(art.cr, {196, 110, 236});
    cairo_arc(art.cr, 8, 56, 5.0, 0, 2 * kPi);
    cairo_fill(art.cr);
    setColor(art.cr, {240, 200, 255});
    cairo_arc(art.cr, 6.8, 54.8, 1.6, 0, 2 * kPi);
    cairo_fill(art.cr);
    finishKeyed(art, {18, 21, 23});
    sink.add(bitmap::kMarkers, art);
}

} // namespace

void drawScreens(ArtSink& sink)
{
    editGrid(sink);
    view3d(sink);
    eqView(sink);
    exportPage(sink);
    impulsePanels(sink);
    bandDigits(sink);
    markers(sink);
}

} // namespace ovinta
