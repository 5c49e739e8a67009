// SPDX-License-Identifier: GPL-3.0-or-later
// PNG decoding through libpng's simplified reader.

#include "toolkit/PngCodec.h"

#include <cairo.h>
#include <png.h>

#include <bit>

#include <cstdint>
#include <cstring>
#include <vector>

namespace ovinta {

cairo_surface_t* decodePng(const unsigned char* data, size_t size)
{
    if (!data || size < 8)
        return nullptr;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return nullptr;
    if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide || image.height > kMaxImageSide) {
        png_image_free(&image);
        return nullptr;
    }
    // Cairo's ARGB32 is a native-endian word, which is B, G, R, A in memory on
    // the little-endian machines we build for.
    static_assert(std::endian::native == std::endian::little);
    image.format = PNG_FORMAT_BGRA;
    const int w = static_cast<int>(image.width);
    const int h = static_cast<int>(image.height);
    std::vector<uint8_t> rows(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rows.data(), 0, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    unsigned char* dst = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = rows.data() + static_cast<size_t>(y) * w * 4;
        uint8_t* out = dst + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < w * 4; x += 4) {
            const unsigned a = in[x + 3];
            // Premultiplied alpha, rounded.
            out[x + 0] = static_cast<uint8_t>((in[x + 0] * a + 127) / 255);
            out[x + 1] = static_cast<uint8_t>((in[x + 1] * a + 127) / 255);
            out[x + 2] = static_cast<uint8_t>((in[x + 2] * a + 127) / 255);
            out[x + 3] = static_cast<uint8_t>(a);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

} // namespace ovinta
