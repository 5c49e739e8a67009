// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG decoding from memory with libpng, into a cairo image surface.

#include <cstddef>

typedef struct _cairo_surface cairo_surface_t;

namespace ovinta {

constexpr int kMaxImageSide = 16384; // larger images are refused

// A new ARGB32 (premultiplied) surface holding the image, or null when the
// data is not a PNG image libpng can read or the image is too large.
cairo_surface_t* decodePng(const unsigned char* data, size_t size);

} // namespace ovinta
