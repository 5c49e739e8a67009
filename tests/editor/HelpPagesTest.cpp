// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages: paging, the closing click, the header's page number and
// whether the manual's text fits its pages.

#include "editor/screens/OVHelpPages.h"
#include "editor/screens/HelpText.h"
#include "toolkit/COffscreenContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovinta {

namespace {

// The header's right end, where the page number stands, as pixels.
std::vector<CColor> headerNumber(OVHelpPages& help)
{
    COffscreenContext picture(408, 408);
    help.draw(picture);
    std::vector<CColor> pixels;
    for (int y = 3; y < 25; ++y)
        for (int x = 360; x < 401; ++x)
            pixels.push_back(picture.getPixel(x, y));
    return pixels;
}

TEST(OVHelpPages, EightClicksPageThroughAndTheLastCloses)
{
    OVHelpPages help;
    help.open();
    EXPECT_EQ(help.mouseDown(CPoint(10, 10), kMButton), OVHelpPages::kIgnored); // only left and right page
    std::vector<std::vector<CColor>> numbers;
    for (int click = 0; click < 8; ++click) {
        EXPECT_EQ(help.currentPage(), click);
        numbers.push_back(headerNumber(help));
        // Alternate buttons: a right click pages like a left one.
        const int buttons = click % 2 ? kRButton : kLButton;
        EXPECT_EQ(help.mouseDown(CPoint(200, 200), buttons), click == 7 ? OVHelpPages::kClose : OVHelpPages::kNextPage);
    }
    // Each page shows its own number in the header.
    for (size_t a = 0; a < numbers.size(); ++a)
        for (size_t b = a + 1; b < numbers.size(); ++b)
            EXPECT_NE(numbers[a], numbers[b]) << "pages " << a + 1 << " and " << b + 1;
    // Reopening starts again at the first page.
    help.open();
    EXPECT_EQ(help.currentPage(), 0);
    EXPECT_EQ(headerNumber(help), numbers[0]);
}

TEST(OVHelpPages, SectionHeadingsComeInTheirPageOrder)
{
    const std::vector<std::vector<std::string>> expected = {
        {},
        {"MAIN PANEL:", "EDIT VIEW:", "3D VIEW:", "EQ VIEW:"},
        {"DRAWING THE AREA:", "SOURCES & LISTENERS:"},
        {"WALL EFFECT PARAMETERS:", "RAY COUNT:", "AIR EFFECT:"},
        {"SIGNAL RETURN:", "OUTPUT:", "INPUT PINS:"},
        {"OUTPUT PINS:", "STEREO BUTTON:", "REVERSE BUTTON:", "# OUTPUTS BUTTON:", "SURROUND PANNER:"},
        {"DIFFUSION PANEL:", "DIFFUSION PITCH BEND:", "EXPORT I.R.:"},
        {"PARAMETRIC EQ:", "AUTOMATION:"},
    };
    for (int p = 0; p < helptext::kPageCount; ++p) {
        std::vector<std::string> headings;
        for (const helptext::Line& line : helptext::page(p))
            if (line.kind == helptext::kHeading)
                headings.emplace_back(line.text);
        EXPECT_EQ(headings, expected[p]) << "page " << p + 1;
    }
}

TEST(OVHelpPages, EveryLineFitsItsPage)
{
    // Measured with the page's fonts: 12 px bold for sections, 11 px bold
    // for the title page's notice (from x 17); nothing may reach the
    // prompt at the bottom or the right edge.
    COffscreenContext measure(408, 408);
    for (int p = 0; p < helptext::kPageCount; ++p) {
        int y = OVHelpPages::kFirstLineY - OVHelpPages::kLineStep;
        int step = OVHelpPages::kLineStep;
        for (const helptext::Line& line : helptext::page(p)) {
            if (line.kind == helptext::kGap) {
                step = line.gap;
                continue;
            }
            y += step;
            step = OVHelpPages::kLineStep;
            const bool notice = line.kind == helptext::kNotice;
            measure.setFont(notice ? kNormalFontSmall : kNormalFont, kBoldFace);
            const int x = notice ? 17 : line.kind == helptext::kHeading ? OVHelpPages::kHeadingX : OVHelpPages::kBodyX;
            EXPECT_LE(x + measure.getStringWidth(line.text), OVHelpPages::kRight) << "page " << p + 1 << ": " << line.text;
        }
        if (p > 0) {
            EXPECT_LE(y + OVHelpPages::kLineHeight, OVHelpPages::kPromptTop) << "page " << p + 1;
        }
    }
}

} // namespace

} // namespace ovinta
