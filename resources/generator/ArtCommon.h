// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the artwork generator: surfaces, colours, shapes, text
// and the finishing passes that prepare a picture for how the plug-in draws
// it (opaque, or with white as the transparent colour).

#include "resources/EditorLayout.h"

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ovinta {

struct Rgb {
    double r, g, b; // 0..255
};

// The panel's palette.
namespace palette {
constexpr Rgb plate{27, 28, 31};        // window plate
constexpr Rgb section{42, 44, 48};      // section interiors (knobs sit on it)
constexpr Rgb sectionEdge{62, 64, 69};  // section outline
constexpr Rgb shadow{12, 12, 14};
constexpr Rgb title{226, 182, 104};     // section titles, amber
constexpr Rgb label{196, 192, 182};     // control labels
constexpr Rgb dimLabel{128, 126, 120};
constexpr Rgb screen{16, 18, 20};       // screen backgrounds
constexpr Rgb accent{240, 176, 72};     // lit parts
} // namespace palette

// A picture being drawn: ARGB32, starts fully transparent.
struct Art {
    Art(int width, int height);
    ~Art();
    Art(const Art&) = delete;
    Art& operator=(const Art&) = delete;

    cairo_surface_t* surface;
    cairo_t* cr;
    int w;
    int h;
};

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void fillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c);

enum class Align { Left, Centre, Right };
// Text vertically centred in the box; `size` in pixels; tracking adds
// space between letters (for small capitals).
void drawText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size, bool bold,
              Rgb c, Align align = Align::Centre, double tracking = 0.0);
double textWidth(cairo_t* cr, const std::string& text, double size, bool bold, double tracking = 0.0);

// Loads the two Liberation Sans faces from `fontDir`; false when missing.
bool loadFonts(const std::string& fontDir);

// Finishing: opaque pictures never contain pure white (which the plug-in
// may treat as transparent); keyed pictures are composited over `under`
// with every uncovered pixel pure white.
void finishOpaque(Art& art);
void finishKeyed(Art& art, Rgb under);

std::vector<unsigned char> encodePng(cairo_surface_t* surface);

// Collects the finished pictures by resource number (bitmap::Id).
struct ArtSink {
    std::function<void(int id, Art& art)> add;
};

void drawKnobFilms(ArtSink& sink);
void drawButtons(ArtSink& sink);
void drawScreens(ArtSink& sink);
void drawMeters(ArtSink& sink);
void drawBackground(ArtSink& sink);

} // namespace ovinta
