// SPDX-License-Identifier: GPL-3.0-or-later
// OVHelpPages: header, sections and prompts of the manual's pages.

#include "editor/screens/OVHelpPages.h"

#include "editor/screens/HelpText.h"

#include <algorithm>
#include <cstdio>

namespace ovinta {

namespace {

constexpr CColor kPageFill{50, 50, 90, 255};
constexpr CColor kPrompt{255, 255, 0, 255};
constexpr const char* kHeader = "Ovinta Help    v.2.42";
constexpr CRect kHeaderBox(3, 3, 401, 25);
constexpr CRect kTitlePrompt(1, 85, 409, 109);
// Right-aligned so that the 12 px prompt is never cut at the page's edge.
constexpr CRect kPagePrompt(200, 387, 403, 405);
constexpr int kNoticeTop = 212;   // the title page's notice block
constexpr int kNoticeX = 17;
constexpr int kNoticeStep = 12;

} // namespace

void OVHelpPages::draw(CDrawContext& picture)
{
    // The page after the closing click is never shown; draw the last one.
    const int index = std::clamp(page, 0, kPageCount - 1);
    picture.resetClipRect();
    picture.setFillColor(kPageFill);
    picture.fillRect(CRect(0, 0, picture.getWidth(), picture.getHeight()));

    picture.setFont(kNormalFontVeryBig, kBoldFace);
    picture.setFontColor(kWhiteCColor);
    picture.drawString(kHeader, kHeaderBox, kLeftText);
    char number[16];
    std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(index + 1));
    picture.drawString(number, kHeaderBox, kRightText);

    if (index == 0)
        drawTitlePage(picture);
    else
        drawSections(picture, index);
}

void OVHelpPages::drawTitlePage(CDrawContext& picture)
{
    picture.setFont(kNormalFontBig, kBoldFace);
    picture.setFontColor(kPrompt);
    picture.drawString("[CLICK ANYWHERE ON PANEL FOR INSTRUCTIONS]", kTitlePrompt, kCenterText);
    picture.setFont(kNormalFontSmall, kBoldFace);
    picture.setFontColor(kWhiteCColor);
    int y = kNoticeTop;
    for (const helptext::Line& line : helptext::page(0)) {
        picture.drawString(line.text, CRect(kNoticeX, y, kRight, y + kNoticeStep), kLeftText);
        y += kNoticeStep;
    }
}

void OVHelpPages::drawSections(CDrawContext& picture, int index)
{
    picture.setFont(kNormalFont, kBoldFace);
    picture.setFontColor(kWhiteCColor);
    int y = kFirstLineY;
    int step = 0; // none before the first line
    for (const helptext::Line& line : helptext::page(index)) {
        if (line.kind == helptext::kGap) {
            step = line.gap;
            continue;
        }
        y += step;
        step = kLineStep;
        const int x = line.kind == helptext::kHeading ? kHeadingX : kBodyX;
        picture.drawString(line.text, CRect(x, y, kRight, y + kLineHeight), kLeftText);
    }
    picture.setFontColor(kPrompt);
    picture.drawString(index == kPageCount - 1 ? "[CLICK TO END]" : "[CLICK FOR MORE]", kPagePrompt, kRightText);
}

OVHelpPages::Click OVHelpPages::mouseDown(CPoint, int buttons)
{
    if ((buttons & (kLButton | kRButton)) == 0)
        return kIgnored;
    const bool last = page >= kPageCount - 1;
    ++page;
    return last ? kClose : kNextPage;
}

} // namespace ovinta
