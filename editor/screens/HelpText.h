// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user manual shown by the help pages: one table of lines per page.
// Plain data; OVHelpPages lays it out.

#include <span>

namespace ovinta {

namespace helptext {

constexpr int kPageCount = 8;

enum LineKind {
    kHeading, // a section heading in capitals, at the left margin
    kBody,    // a line of the section, indented
    kGap,     // a paragraph break inside a section: `text` is null, `gap` pixels down
    kNotice,  // title page only: the small notice lines
};

struct Line {
    LineKind kind;
    const char* text;
    int gap = 0; // kGap: pixels to the next line instead of the usual 16
};

// The lines of page 0..kPageCount - 1.
std::span<const Line> page(int index);

} // namespace helptext

} // namespace ovinta
