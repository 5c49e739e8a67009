// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolkit's fonts: Liberation Sans regular and bold, embedded in the
// library as byte arrays and opened with FreeType from memory, so text never
// depends on fonts installed on the user's machine. GUI thread only.

#include "toolkit/CDrawContext.h"

#include <cstddef>

typedef struct _cairo_font_face cairo_font_face_t;

namespace ovinta {

// The cairo face for `face`, created on first use and kept until the library
// is unloaded; null if the embedded font could not be opened.
cairo_font_face_t* toolkitFontFace(CTxtFace face);

// Pixel size of each entry of the font table.
double toolkitFontSizePx(CFont font);

// Turns `text` into UTF-8 for drawing: valid UTF-8 stays as it is, other bytes
// are read as Latin-1; with `greek`, Latin letters become the Greek letters of
// the symbol font. Writes at most outSize bytes including the terminator.
void toolkitTextToUtf8(const char* text, bool greek, char* out, size_t outSize);

} // namespace ovinta
