// SPDX-License-Identifier: GPL-3.0-or-later
// CViewContainer: ownership, drawing order and hit-testing of child views.

#include "toolkit/CViewContainer.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>

namespace ovinta {

CViewContainer::CViewContainer(const CRect& r) : CView(r) {}

CViewContainer::~CViewContainer()
{
    removeAll();
    if (background)
        background->forget();
}

void CViewContainer::addView(CView* view)
{
    if (!view || std::find(views.begin(), views.end(), view) != views.end())
        return;
    views.push_back(view);
    view->attached(frame);
    view->setDirty();
}

void CViewContainer::removeView(CView* view)
{
    auto it = std::find(views.begin(), views.end(), view);
    if (it == views.end())
        return;
    if (frame)
        frame->viewRemoved(view);
    views.erase(it);
    delete view;
}

void CViewContainer::removeAll()
{
    // Delete from the top down; views must not reach their siblings while dying.
    while (!views.empty()) {
        CView* v = views.back();
        if (frame)
            frame->viewRemoved(v);
        views.pop_back();
        delete v;
    }
}

CView* CViewContainer::getView(int index) const
{
    return (index >= 0 && index < getNbViews()) ? views[index] : nullptr;
}

void CViewContainer::setBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (background)
        background->forget();
    background = bitmap;
    setDirty();
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& area)
{
    const CRect r = area.intersect(size);
    if (r.isEmpty())
        return;
    if (background) {
        background->draw(context, r, CPoint(r.left - size.left, r.top - size.top));
    } else {
        context->setFillColor(backgroundColor);
        context->fillRect(r);
    }
}

void CViewContainer::draw(CDrawContext* context)
{
    drawBackgroundRect(context, size);
    drawViewsIn(context, size);
}

void CViewContainer::drawDirtyViews(CDrawContext* context, DirtyRegion& drawn)
{
    for (CView* v : views) {
        if (!v->isVisible())
            continue;
        if (auto* c = dynamic_cast<CViewContainer*>(v)) {
            // A container marked dirty itself repaints whole; otherwise only
            // its dirty children are drawn.
            if (c->CView::isDirty()) {
                c->setDirty(false);
                c->draw(context);
                drawn.add(c->getViewSize().unite(context->takeDrawnArea()));
            } else {
                c->drawDirtyViews(context, drawn);
            }
            continue;
        }
        if (!v->isDirty())
            continue;
        v->setDirty(false);
        context->setClipRect(v->getViewSize());
        if (v->getTransparency())
            drawBackgroundRect(context, v->getViewSize());
        context->resetClipRect();
        v->draw(context);
        drawn.add(context->takeDrawnArea().unite(v->getViewSize()));
    }
}

void CViewContainer::drawViewsIn(CDrawContext* context, const CRect& area)
{
    for (CView* v : views) {
        if (!v->isVisible() || !v->getViewSize().rectOverlap(area))
            continue;
        context->setClipRect(area);
        v->setDirty(false);
        v->draw(context);
    }
    context->resetClipRect();
}

CView* CViewContainer::getViewAt(CPoint where) const
{
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->hitTest(where))
            continue;
        if (auto* c = dynamic_cast<CViewContainer*>(v)) {
            if (CView* inner = c->getViewAt(where))
                return inner;
            continue;
        }
        if (v->getMouseEnabled())
            return v;
    }
    return nullptr;
}

void CViewContainer::forEachView(const std::function<void(CView*)>& fn) const
{
    for (CView* v : views) {
        fn(v);
        if (auto* c = dynamic_cast<CViewContainer*>(v))
            c->forEachView(fn);
    }
}

bool CViewContainer::isDirty() const
{
    if (CView::isDirty())
        return true;
    return std::any_of(views.begin(), views.end(), [](const CView* v) { return v->isDirty(); });
}

void CViewContainer::attached(CFrame* f)
{
    CView::attached(f);
    for (CView* v : views)
        v->attached(f);
}

} // namespace ovinta
