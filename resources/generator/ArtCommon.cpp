// SPDX-License-Identifier: GPL-3.0-or-later
// Artwork helpers: cairo with FreeType faces opened from the font folder.

#include "ArtCommon.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <numbers>

namespace ovinta {

namespace {
FT_Library library = nullptr;
cairo_font_face_t* faces[2] = {nullptr, nullptr};

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}
} // namespace

Art::Art(int width, int height) : w(width), h(height)
{
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr = cairo_create(surface);
}

Art::~Art()
{
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void setColor(cairo_t* cr, Rgb c, double alpha)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    const double pi = std::numbers::pi;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c)
{
    setColor(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

bool loadFonts(const std::string& fontDir)
{
    if (FT_Init_FreeType(&library) != 0)
        return false;
    const std::string files[2] = {fontDir + "/LiberationSans-Regular.ttf", fontDir + "/LiberationSans-Bold.ttf"};
    for (int i = 0; i < 2; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, files[i].c_str(), 0, &face) != 0)
            return false;
        faces[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
    return true;
}

namespace {
void selectFont(cairo_t* cr, double size, bool bold)
{
    cairo_set_font_face(cr, faces[bold ? 1 : 0]);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}
} // namespace

double textWidth(cairo_t* cr, const std::string& text, double size, bool bold, double tracking)
{
    selectFont(cr, size, bold);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.c_str(), &te);
    size_t letters = 0;
    for (char c : text)
        letters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return te.x_advance + tracking * (letters == 0 ? 0.0 : static_cast<double>(letters - 1));
}

void drawText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size, bool bold,
              Rgb c, Align align, double tracking)
{
    const double width = textWidth(cr, text, size, bold, tracking);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double px = x;
    if (align == Align::Centre)
        px = x + (w - width) / 2.0;
    else if (align == Align::Right)
        px = x + w - width;
    const double py = std::round(y + (h + fe.ascent - fe.descent) / 2.0);
    px = std::round(px);
    setColor(cr, c);
    if (tracking == 0.0) {
        cairo_move_to(cr, px, py);
        cairo_show_text(cr, text.c_str());
        return;
    }
    // Letter by letter, keeping each UTF-8 sequence whole.
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        const std::string one = text.substr(i, n);
        i += n;
        cairo_move_to(cr, px, py);
        cairo_show_text(cr, one.c_str());
        cairo_text_extents_t te;
        cairo_text_extents(cr, one.c_str(), &te);
        px += te.x_advance + tracking;
    }
}

void finishOpaque(Art& art)
{
    cairo_surface_flush(art.surface);
    unsigned char* data = cairo_image_surface_get_data(art.surface);
    const int stride = cairo_image_surface_get_stride(art.surface);
    for (int y = 0; y < art.h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < art.w; ++x)
            if (row[x] == 0xFFFFFFFFu)
                row[x] = 0xFFFEFEFEu;
    }
    cairo_surface_mark_dirty(art.surface);
}

void finishKeyed(Art& art, Rgb under)
{
    cairo_surface_flush(art.surface);
    unsigned char* data = cairo_image_surface_get_data(art.surface);
    const int stride = cairo_image_surface_get_stride(art.surface);
    for (int y = 0; y < art.h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < art.w; ++x) {
            const uint32_t p = row[x];
            const unsigned a = p >> 24;
            if (a < 96) {
                row[x] = 0xFFFFFFFFu; // the transparent colour
                continue;
            }
            // Premultiplied colour over the surface it will be seen on.
            auto mix = [&](int shift, double u) {
                const double v = ((p >> shift) & 0xFF) + u * (255 - a) / 255.0;
                return static_cast<uint32_t>(std::min(254.0, std::round(v)));
            };
            row[x] = 0xFF000000u | (mix(16, under.r) << 16) | (mix(8, under.g) << 8) | mix(0, under.b);
        }
    }
    cairo_surface_mark_dirty(art.surface);
}

std::vector<unsigned char> encodePng(cairo_surface_t* surface)
{
    std::vector<unsigned char> out;
    cairo_surface_write_to_png_stream(surface, appendBytes, &out);
    return out;
}

} // namespace ovinta
