// CView: defaults shared by every view.

#include "toolkit/CView.h"

#include "toolkit/CFrame.h"

CView::CView(const CRect& r) : size(r.normalized()) {}

void CView::draw(CDrawContext*) {}

void CView::mouse(CDrawContext*, CPoint&, int) {}

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
