// SPDX-License-Identifier: GPL-3.0-or-later
// CParamDisplay: formatting and drawing of a value box.

#include "toolkit/CParamDisplay.h"

#include "toolkit/CBitmap.h"

#include <cstdio>

namespace ovinta {

CParamDisplay::CParamDisplay(const CRect& r, CBitmap* bg, int s) : CControl(r, nullptr, 0, bg), style(s)
{
    setMouseEnabled(false);
}

void CParamDisplay::setStringConvert(StringConvertFunction fn)
{
    convert = fn;
    convertUser = nullptr;
    setDirty();
}

void CParamDisplay::setStringConvert(StringConvertUserFunction fn, void* userData)
{
    convertUser = fn;
    convertUserData = userData;
    convert = nullptr;
    setDirty();
}

void CParamDisplay::formatValue(char* text) const
{
    text[0] = 0;
    if (convert)
        convert(getValue(), text);
    else if (convertUser)
        convertUser(getValue(), text, convertUserData);
    else
        std::snprintf(text, kDisplayTextSize, "%2.2f", static_cast<double>(getValue()));
    text[kDisplayTextSize - 1] = 0; // a hook that forgot the terminator
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[kDisplayTextSize];
    formatValue(text);
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    if (style & kNoDrawStyle)
        return;
    if (background) {
        if (transparent)
            background->drawTransparent(context, size);
        else
            background->draw(context, size);
    } else if (!textTransparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
    }
    if (!(style & kNoFrame)) {
        context->setFrameColor(frameColor);
        context->setLineWidth(1);
        context->setLineStyle(kLineSolid);
        context->frameRect(size);
    }
    if (style & kNoTextStyle)
        return;
    context->setFont(font, fontFace);
    context->setFontColor(fontColor);
    context->drawString(text, size.inset(1, 0), horiAlign);
}

} // namespace ovinta
