// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CParamDisplay: a box that shows its value as text, formatted by an
// optional string-convert hook (default "%2.2f"), in a chosen font, colours
// and alignment, with its background painted unless text transparency is on.

#include "toolkit/CControl.h"

namespace ovinta {

// Display styles (bits).
enum : int { kNoFrame = 1 << 0, kNoTextStyle = 1 << 1, kNoDrawStyle = 1 << 2 };

// Writes the text for `value` into `text` (room for kDisplayTextSize bytes).
using StringConvertFunction = void (*)(float value, char* text);
using StringConvertUserFunction = void (*)(float value, char* text, void* userData);
constexpr int kDisplayTextSize = 256;

class CParamDisplay : public CControl {
public:
    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int style = 0);

    void draw(CDrawContext* context) override;

    void setFont(CFont f, CTxtFace face = kNormalFace) { font = f; fontFace = face; setDirty(); }
    CFont getFont() const { return font; }
    void setFontColor(CColor c) { fontColor = c; setDirty(); }
    void setBackColor(CColor c) { backColor = c; setDirty(); }
    void setFrameColor(CColor c) { frameColor = c; setDirty(); }
    void setHoriAlign(CHoriTxtAlign a) { horiAlign = a; setDirty(); }
    void setTextTransparency(bool t) { textTransparent = t; setDirty(); }
    void setStyle(int s) { style = s; setDirty(); }
    int getStyle() const { return style; }

    void setStringConvert(StringConvertFunction fn);
    void setStringConvert(StringConvertUserFunction fn, void* userData);
    // The text the display shows for its current value.
    void formatValue(char* text) const;

protected:
    // Background, frame and `text`, in the display's look.
    void drawText(CDrawContext* context, const char* text);

    CFont font = kNormalFontSmall;
    CTxtFace fontFace = kNormalFace;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    bool textTransparent = false;
    int style = 0;

private:
    StringConvertFunction convert = nullptr;
    StringConvertUserFunction convertUser = nullptr;
    void* convertUserData = nullptr;
};

} // namespace ovinta
