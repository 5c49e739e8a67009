// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CTextEdit: a display holding a line of text that the user can edit. A
// click takes the keyboard; typed characters are appended, Backspace
// deletes, Return (or a click elsewhere) commits and tells the listener,
// Escape restores the old text.

#include "toolkit/CParamDisplay.h"

#include <string>

namespace ovinta {

class CTextEdit : public CParamDisplay {
public:
    static constexpr size_t kMaxTextLength = 255;

    CTextEdit(const CRect& size, CControlListener* listener, int tag, const char* text = "",
              CBitmap* background = nullptr, int style = 0);

    void setText(const char* text);
    const char* getText() const { return text.c_str(); }
    bool isEditing() const { return editing; }
    // Takes the keyboard as a click does. A text edit that is not in a frame
    // (drawn by its owner into a picture) gets its keys from that owner.
    void startEditing();

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    bool onKeyDown(const CKeyCode& key) override;
    void looseFocus() override;

private:
    void commit();

    std::string text;       // shown and committed text
    std::string savedText;  // text before the current edit, for Escape
    bool editing = false;
};

} // namespace ovinta
