// SPDX-License-Identifier: GPL-3.0-or-later
// COptionMenu and its popup list.

#include "toolkit/COptionMenu.h"

#include "toolkit/CFrame.h"
#include "toolkit/ToolkitFonts.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace {
constexpr int kMaxEntries = 1024;     // entries beyond this are refused
constexpr int kRowPadding = 4;        // pixels above and below the text
constexpr int kCheckColumn = 14;      // room for the check mark
constexpr int kTextMargin = 8;        // right margin of a column
constexpr CColor kPopupBack{40, 38, 36, 255};
constexpr CColor kPopupFrame{150, 140, 120, 255};
constexpr CColor kPopupText{235, 228, 210, 255};
constexpr CColor kPopupHover{200, 160, 80, 255};
constexpr CColor kPopupHoverText{20, 16, 10, 255};
} // namespace

COptionMenu::COptionMenu(const CRect& r, CControlListener* l, int t, CBitmap* bg, int s) : CParamDisplay(r, bg, s)
{
    setListener(l);
    setTag(t);
    setMouseEnabled(true);
    setDefaultValue(0.0f);
}

bool COptionMenu::addEntry(const char* text)
{
    if (getNbEntries() >= kMaxEntries)
        return false;
    entries.emplace_back(text ? text : "");
    setMax(static_cast<float>(std::max(getNbEntries() - 1, 0)));
    setDirty();
    return true;
}

void COptionMenu::removeAllEntry()
{
    entries.clear();
    setMax(0.0f);
    setDirty();
}

const char* COptionMenu::getEntry(int index) const
{
    return (index >= 0 && index < getNbEntries()) ? entries[index].c_str() : nullptr;
}

int COptionMenu::getCurrent() const
{
    const float v = getValue();
    if (!(v >= 0.0f) || v >= static_cast<float>(getNbEntries()))
        return -1;
    return static_cast<int>(v);
}

void COptionMenu::setCurrent(int index) { setValue(static_cast<float>(index)); }

void COptionMenu::draw(CDrawContext* context)
{
    const char* text = getEntry(getCurrent());
    drawText(context, text ? text : "");
}

void COptionMenu::selectEntry(CDrawContext* context, int index)
{
    if (!getEntry(index))
        return;
    beginEdit();
    setCurrent(index);
    notifyListener(context);
    endEdit();
    setDirty();
}

CMouseEventResult COptionMenu::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (!frame || entries.empty())
        return kMouseEventNotHandled;
    buttons = takeClick(context, buttons, kLButton | kRButton);
    if (buttons == 0)
        return kMouseEventNotHandled;
    auto* popup = new COptionMenuPopup(this, frame->getViewSize(), context);
    frame->setModalView(popup);
    tracking = true;
    pressPoint = where;
    popup->setHover(popup->entryAt(where));
    return kMouseEventTrack;
}

COptionMenuPopup* COptionMenu::openPopup() const
{
    auto* popup = frame ? dynamic_cast<COptionMenuPopup*>(frame->getModalView()) : nullptr;
    return popup && popup->getMenu() == this ? popup : nullptr;
}

CMouseEventResult COptionMenu::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (!tracking)
        return kMouseEventNotHandled;
    if (!(buttons & (kLButton | kRButton))) // the release came unseen
        return releaseAt(context, where);
    COptionMenuPopup* popup = openPopup();
    if (!popup) { // closed meanwhile (Escape)
        tracking = false;
        return kMouseEventHandled;
    }
    popup->setHover(popup->entryAt(where));
    return kMouseEventTrack;
}

CMouseEventResult COptionMenu::onMouseUp(CDrawContext* context, CPoint where, int buttons)
{
    if (!tracking)
        return kMouseEventNotHandled;
    if (buttons & (kLButton | kRButton)) // the other button is still down
        return kMouseEventTrack;
    return releaseAt(context, where);
}

CMouseEventResult COptionMenu::releaseAt(CDrawContext* context, CPoint where)
{
    tracking = false;
    COptionMenuPopup* popup = openPopup();
    if (!popup)
        return kMouseEventHandled;
    // Released on an entry after moving: select it. Released where the
    // press began (a plain click) or over the menu itself: the list stays
    // open for a second click. Anywhere else it closes.
    const int index = popup->entryAt(where);
    if (index >= 0 && where != pressPoint) {
        popup->close();
        selectEntry(context, index);
    } else if (!size.pointInside(where)) {
        popup->close();
    }
    return kMouseEventHandled;
}

COptionMenuPopup::COptionMenuPopup(COptionMenu* m, const CRect& frameSize, CDrawContext* measure)
    : CView(CRect()), menu(m)
{
    const int n = menu->getNbEntries();
    measure->setFont(menu->getFont(), kNormalFace);
    rowHeight = static_cast<int>(std::lround(toolkitFontSizePx(menu->getFont()))) + 2 + kRowPadding;
    int widest = 0;
    for (int i = 0; i < n; ++i)
        widest = std::max(widest, measure->getStringWidth(menu->getEntry(i)));
    columnWidth = std::max(menu->getWidth(), widest + kCheckColumn + kTextMargin);
    // Too many rows for the window: wrap into further columns.
    rowsPerColumn = std::clamp((frameSize.height() - 2) / rowHeight, 1, std::max(n, 1));
    const int columns = (n + rowsPerColumn - 1) / rowsPerColumn;
    const int w = std::min(columns * columnWidth + 2, frameSize.width());
    const int h = std::min(rowsPerColumn, n) * rowHeight + 2;
    const CRect& m0 = menu->getViewSize();
    // Below the menu when it fits, else above, else as low as possible.
    int top = m0.bottom;
    if (top + h > frameSize.bottom)
        top = m0.top - h >= frameSize.top ? m0.top - h : frameSize.bottom - h;
    int left = std::clamp(m0.left, frameSize.left, std::max(frameSize.right - w, frameSize.left));
    size = CRect::fromSize(left, std::max(top, frameSize.top), w, h);
}

CRect COptionMenuPopup::entryRect(int index) const
{
    const int column = index / rowsPerColumn;
    const int row = index % rowsPerColumn;
    return CRect::fromSize(size.left + 1 + column * columnWidth, size.top + 1 + row * rowHeight, columnWidth,
                           rowHeight);
}

int COptionMenuPopup::entryAt(CPoint where) const
{
    if (!size.pointInside(where))
        return -1;
    const int column = (where.h - size.left - 1) / columnWidth;
    const int row = (where.v - size.top - 1) / rowHeight;
    if (where.h - size.left - 1 < 0 || where.v - size.top - 1 < 0 || row >= rowsPerColumn)
        return -1;
    const int index = column * rowsPerColumn + row;
    return index < menu->getNbEntries() ? index : -1;
}

void COptionMenuPopup::setHover(int index)
{
    if (index != hover) {
        hover = index;
        setDirty();
    }
}

void COptionMenuPopup::draw(CDrawContext* context)
{
    context->setFillColor(kPopupBack);
    context->fillRect(size);
    context->setFrameColor(kPopupFrame);
    context->setLineWidth(1);
    context->setLineStyle(kLineSolid);
    context->frameRect(size);
    context->setFont(menu->getFont(), kNormalFace);
    const bool checks = (menu->getStyle() & kCheckStyle) != 0;
    for (int i = 0; i < menu->getNbEntries(); ++i) {
        const CRect r = entryRect(i).intersect(size.inset(1, 1));
        if (i == hover) {
            context->setFillColor(kPopupHover);
            context->fillRect(r);
        }
        const CColor ink = i == hover ? kPopupHoverText : kPopupText;
        context->setFontColor(ink);
        if (checks && i == menu->getCurrent()) {
            // A small tick in the check column.
            const int cx = r.left + 4;
            const int cy = r.top + r.height() / 2;
            context->setFrameColor(ink);
            context->setLineWidth(2);
            context->setDrawMode(kAntiAliasMode);
            const CPoint tick[] = {{cx, cy}, {cx + 3, cy + 3}, {cx + 8, cy - 3}};
            context->drawPolyline(tick);
            context->setDrawMode(kCopyMode);
            context->setLineWidth(1);
        }
        context->drawString(menu->getEntry(i), CRect(r.left + kCheckColumn, r.top, r.right - 2, r.bottom), kLeftText);
    }
}

CMouseEventResult COptionMenuPopup::mouse(CDrawContext*, CPoint& where, int)
{
    if (entryAt(where) < 0) {
        close(); // a click outside the list dismisses it
        return kMouseEventHandled;
    }
    tracking = true;
    setHover(entryAt(where));
    return kMouseEventTrack;
}

CMouseEventResult COptionMenuPopup::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (tracking && !(buttons & (kLButton | kRButton))) // the release came unseen
        return releaseAt(context, where);
    setHover(entryAt(where));
    return tracking ? kMouseEventTrack : kMouseEventHandled;
}

CMouseEventResult COptionMenuPopup::onMouseUp(CDrawContext* context, CPoint where, int buttons)
{
    if (!tracking)
        return kMouseEventNotHandled;
    if (buttons & (kLButton | kRButton)) // the other button is still down
        return kMouseEventTrack;
    return releaseAt(context, where);
}

CMouseEventResult COptionMenuPopup::releaseAt(CDrawContext* context, CPoint where)
{
    // The press was on an entry: the release selects the one under the
    // mouse, or just closes the list beside them.
    tracking = false;
    const int index = entryAt(where);
    close();
    if (index >= 0)
        menu->selectEntry(context, index);
    return kMouseEventHandled;
}

bool COptionMenuPopup::onKeyDown(const CKeyCode& key)
{
    if (key.virt != kKeyEscape)
        return false;
    close();
    return true;
}

void COptionMenuPopup::close()
{
    if (CFrame* f = menu->getFrame(); f && f->getModalView() == this)
        f->setModalView(nullptr);
}

} // namespace ovinta
