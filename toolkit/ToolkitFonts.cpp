// SPDX-License-Identifier: GPL-3.0-or-later
// Embedded fonts: FreeType faces opened from the byte arrays of
// EmbeddedFonts.cpp (generated at build time), wrapped as cairo faces.

#include "toolkit/ToolkitFonts.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>

namespace ovinta {

extern const unsigned char kFontSansRegular[];
extern const size_t kFontSansRegularSize;
extern const unsigned char kFontSansBold[];
extern const size_t kFontSansBoldSize;

namespace {

// One FreeType library and two faces for the life of the library. The cairo
// faces own their FreeType face through user data, so it is released only
// when cairo drops its last reference (cairo keeps a cache of its own).
class FontSet {
public:
    FontSet()
    {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return;
        }
        faces[kNormalFace] = open(kFontSansRegular, kFontSansRegularSize);
        faces[kBoldFace] = open(kFontSansBold, kFontSansBoldSize);
    }
    ~FontSet()
    {
        for (cairo_font_face_t*& f : faces)
            if (f)
                cairo_font_face_destroy(f);
        // The library stays alive while cairo may still hold one of its faces
        // in a cache; FreeType is released with the last face (see release).
        closing = true;
        if (liveFaces == 0 && library)
            FT_Done_FreeType(library);
    }
    cairo_font_face_t* face(CTxtFace which) const { return faces[which == kBoldFace ? 1 : 0]; }

private:
    cairo_font_face_t* open(const unsigned char* data, size_t size)
    {
        if (!library)
            return nullptr;
        FT_Face ftFace = nullptr;
        if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &ftFace) != 0)
            return nullptr;
        cairo_font_face_t* f = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
        if (cairo_font_face_set_user_data(f, &userKey, ftFace, &FontSet::release) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(f);
            FT_Done_Face(ftFace);
            return nullptr;
        }
        ++liveFaces;
        return f;
    }
    static void release(void* ftFace)
    {
        FT_Done_Face(static_cast<FT_Face>(ftFace));
        if (--liveFaces == 0 && closing && library)
            FT_Done_FreeType(library);
    }

    static inline FT_Library library = nullptr;
    static inline int liveFaces = 0;      // FreeType faces still held by cairo
    static inline bool closing = false;   // set when the set is destroyed
    static inline cairo_user_data_key_t userKey{};
    cairo_font_face_t* faces[2] = {nullptr, nullptr};
};

FontSet& fontSet()
{
    static FontSet set;
    return set;
}

// Latin a..z in the order of the symbol font's Greek letters.
const char* const kGreekLower[26] = {"α", "β", "χ", "δ", "ε", "φ", "γ", "η", "ι", "ϕ", "κ", "λ", "μ",
                                     "ν", "ο", "π", "θ", "ρ", "σ", "τ", "υ", "ϖ", "ω", "ξ", "ψ", "ζ"};
const char* const kGreekUpper[26] = {"Α", "Β", "Χ", "Δ", "Ε", "Φ", "Γ", "Η", "Ι", "ϑ", "Κ", "Λ", "Μ",
                                     "Ν", "Ο", "Π", "Θ", "Ρ", "Σ", "Τ", "Υ", "ς", "Ω", "Ξ", "Ψ", "Ζ"};

// Length of the valid UTF-8 sequence starting at s, 0 if it is not one.
size_t utf8Length(const unsigned char* s)
{
    if (s[0] < 0x80)
        return 1;
    size_t n = (s[0] & 0xE0) == 0xC0 ? 2 : (s[0] & 0xF0) == 0xE0 ? 3 : (s[0] & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || (n == 2 && s[0] < 0xC2))
        return 0;
    for (size_t i = 1; i < n; ++i)
        if ((s[i] & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

cairo_font_face_t* toolkitFontFace(CTxtFace face) { return fontSet().face(face); }

double toolkitFontSizePx(CFont font)
{
    static const double kSizes[kNumStandardFonts] = {12, 18, 14, 12, 11, 10, 9, 13};
    return kSizes[(font >= 0 && font < kNumStandardFonts) ? font : 0];
}

void toolkitTextToUtf8(const char* text, bool greek, char* out, size_t outSize)
{
    if (outSize == 0)
        return;
    size_t o = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*s) {
        char piece[5] = {};
        size_t n = utf8Length(s);
        if (greek && (*s >= 'a' && *s <= 'z'))
            std::strcpy(piece, kGreekLower[*s - 'a']);
        else if (greek && (*s >= 'A' && *s <= 'Z'))
            std::strcpy(piece, kGreekUpper[*s - 'A']);
        else if (n > 0)
            std::memcpy(piece, s, n);
        else { // a Latin-1 byte
            piece[0] = static_cast<char>(0xC0 | (*s >> 6));
            piece[1] = static_cast<char>(0x80 | (*s & 0x3F));
        }
        s += n > 0 ? n : 1;
        size_t len = std::strlen(piece);
        if (o + len + 1 > outSize)
            break;
        std::memcpy(out + o, piece, len);
        o += len;
    }
    out[o] = 0;
}

} // namespace ovinta
