// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plug-in's pictures, addressed by resource number (103..154; 152 is the
// window background). They are drawn at build time by resources/generator
// and compiled in as PNG data; loadResourceBitmap decodes one on demand.

#include <cstddef>

namespace ovinta {

class CBitmap;

struct ResourceImage {
    int id;                   // resource number
    const unsigned char* png; // PNG file bytes
    size_t size;              // bytes
};

extern const ResourceImage kResourceImages[];
extern const int kResourceImageCount;

// The compiled-in picture with this number, or null.
const ResourceImage* findResourceImage(int id);

// A new bitmap (one reference, release with forget()) or null when there is
// no picture with this number.
CBitmap* loadResourceBitmap(int id);

} // namespace ovinta
