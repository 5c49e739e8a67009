// SPDX-License-Identifier: GPL-3.0-or-later
// CTextEdit: keyboard editing of one line.

#include "toolkit/CTextEdit.h"

#include "toolkit/CFrame.h"

namespace ovinta {

CTextEdit::CTextEdit(const CRect& r, CControlListener* l, int t, const char* initial, CBitmap* bg, int s)
    : CParamDisplay(r, bg, s)
{
    setListener(l);
    setTag(t);
    setMouseEnabled(true);
    setText(initial);
}

void CTextEdit::setText(const char* t)
{
    text = t ? t : "";
    if (text.size() > kMaxTextLength)
        text.resize(kMaxTextLength);
    setDirty();
}

void CTextEdit::draw(CDrawContext* context)
{
    drawText(context, text.c_str());
    if (!editing)
        return;
    // Caret after the text, in the font colour.
    context->setFont(font, fontFace);
    const int w = context->getStringWidth(text.c_str());
    const CRect inner = size.inset(1, 0);
    int x = inner.left + w;
    if (horiAlign == kCenterText)
        x = inner.left + (inner.width() + w) / 2;
    else if (horiAlign == kRightText)
        x = inner.right - 1;
    context->setFrameColor(fontColor);
    context->setLineWidth(1);
    context->drawLine(CPoint(x, size.top + 2), CPoint(x, size.bottom - 2));
}

CMouseEventResult CTextEdit::mouse(CDrawContext*, CPoint&, int buttons)
{
    if (!mouseEnabled || !frame || editing || !(buttons & kLButton))
        return kMouseEventNotHandled;
    startEditing();
    return kMouseEventHandled;
}

void CTextEdit::startEditing()
{
    if (editing)
        return;
    savedText = text;
    editing = true;
    if (frame)
        frame->setFocusView(this);
    setDirty();
}

bool CTextEdit::onKeyDown(const CKeyCode& key)
{
    if (!editing)
        return false;
    if (key.virt == kKeyReturn) {
        if (frame)
            frame->setFocusView(nullptr); // commits through looseFocus
        return true;
    }
    if (key.virt == kKeyEscape) {
        text = savedText;
        editing = false;
        if (frame)
            frame->setFocusView(nullptr);
        setDirty();
        return true;
    }
    if (key.virt == kKeyBack) {
        // Remove one UTF-8 character.
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
            text.pop_back();
        if (!text.empty())
            text.pop_back();
    } else if (key.character >= 0x20 && key.character != 0x7F && key.character < 0x100) {
        if (text.size() + 2 <= kMaxTextLength) {
            const auto c = static_cast<unsigned>(key.character);
            if (c < 0x80) {
                text.push_back(static_cast<char>(c));
            } else { // Latin-1 into UTF-8
                text.push_back(static_cast<char>(0xC0 | (c >> 6)));
                text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
    } else {
        return false;
    }
    setDirty();
    return true;
}

void CTextEdit::looseFocus()
{
    if (editing)
        commit();
}

void CTextEdit::commit()
{
    editing = false;
    setDirty();
    beginEdit();
    notifyListener(nullptr);
    endEdit();
}

} // namespace ovinta
