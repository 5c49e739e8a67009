// SPDX-License-Identifier: GPL-3.0-or-later
// CView: defaults shared by every view.

#include "toolkit/CView.h"

#include "toolkit/CFrame.h"

namespace ovinta {

CView::CView(const CRect& r) : size(r.normalized()) {}

void CView::draw(CDrawContext*) {}

CMouseEventResult CView::mouse(CDrawContext*, CPoint&, int) { return kMouseEventNotHandled; }

CMouseEventResult CView::onMouseMoved(CDrawContext*, CPoint, int) { return kMouseEventNotHandled; }

CMouseEventResult CView::onMouseUp(CDrawContext*, CPoint, int) { return kMouseEventNotHandled; }

bool CView::onKeyDown(const CKeyCode&) { return false; }

void CView::setVisible(bool v)
{
    if (v == visible)
        return;
    visible = v;
    if (frame)
        frame->invalidRect(size);
}

void CView::setViewSize(const CRect& r)
{
    if (frame)
        frame->invalidRect(size);
    size = r.normalized();
    setDirty();
}

} // namespace ovinta
