// SPDX-License-Identifier: GPL-3.0-or-later
// CFrame: backing store, idle cycle, input dispatch and the modal overlay.

#include "toolkit/CFrame.h"

#include "toolkit/WindowEditor.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cairo.h>

namespace ovinta {

namespace {
cairo_surface_t* newBackingSurface(const CRect& size)
{
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width() > 0 ? size.width() : 1,
                                      size.height() > 0 ? size.height() : 1);
}
} // namespace

CFrame::CFrame(const CRect& r, void* parentWindow, WindowEditor* ed)
    : CViewContainer(CRect(0, 0, r.width(), r.height())), editor(ed)
{
    cairo_surface_t* s = newBackingSurface(size);
    backing = std::make_unique<CDrawContext>(s);
    cairo_surface_destroy(s); // the context keeps its own reference
    frame = this;
    platform = openPlatformWindow(parentWindow, CPoint(size.width(), size.height()), *this);
}

CFrame::~CFrame()
{
    // A gesture still running ends now, while its view and editor are alive.
    cancelMouseCapture();
    closeModalView();
    deleteRetiredViews();
    focusView = nullptr;
    removeAll();
    platform.reset();
}

HeadlessWindow* CFrame::getHeadless() const { return dynamic_cast<HeadlessWindow*>(platform.get()); }

void CFrame::idle()
{
    // A handler that reaches the host's idle again gets nothing more to do.
    if (inIdle)
        return;
    inIdle = true;
    if (platform)
        platform->processEvents();
    update();
    inIdle = false;
}

void CFrame::platformIdle()
{
    // The editor's idle, as effEditIdle would run it (it idles this frame).
    if (editor)
        editor->idle();
    else
        idle();
}

void CFrame::update()
{
    deleteRetiredViews();
    // The frame itself dirty (new background, first paint): everything.
    if (CView::isDirty()) {
        CView::setDirty(false);
        invalidRect(size);
    }
    changed.clear();
    if (!invalid.isEmpty()) {
        const CRect area = invalid;
        invalid = CRect();
        backing->setClipRect(area);
        drawBackgroundRect(backing.get(), area);
        drawViewsIn(backing.get(), area);
        changed.add(area);
    }
    backing->takeDrawnArea();
    drawDirtyViews(backing.get(), changed);
    // The overlay stays on top of whatever was drawn under it.
    if (modalView && (modalView->isDirty() || changed.overlaps(modalView->getViewSize()))) {
        modalView->setDirty(false);
        backing->resetClipRect();
        modalView->draw(backing.get());
        changed.add(modalView->getViewSize());
    }
    backing->resetClipRect();
    backing->takeDrawnArea();
    present(changed);
}

void CFrame::present(const DirtyRegion& region)
{
    for (int i = 0; i < region.size(); ++i)
        present(region[i]);
}

void CFrame::redrawAll()
{
    invalidRect(size);
    update();
}

void CFrame::invalidRect(const CRect& area) { invalid = invalid.unite(area.intersect(size)); }

void CFrame::present(const CRect& area)
{
    const CRect r = area.intersect(size);
    if (!platform || r.isEmpty())
        return;
    cairo_surface_t* s = backing->getSurface();
    cairo_surface_flush(s);
    PixelView view{cairo_image_surface_get_data(s), cairo_image_surface_get_width(s),
                   cairo_image_surface_get_height(s), cairo_image_surface_get_stride(s)};
    platform->present(view, r);
}

uint32_t CFrame::getTicks() { return platform ? platform->tickCountMs() : WindowEditor::systemTicks(); }

int CFrame::getKnobMode() const { return WindowEditor::getKnobMode(); }

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    CView* old = focusView;
    focusView = view;
    if (old)
        old->looseFocus();
}

void CFrame::setModalView(CView* view)
{
    closeModalView();
    modalView = view;
    if (modalView) {
        modalView->attached(this);
        modalView->setDirty();
    }
}

void CFrame::closeModalView()
{
    if (!modalView)
        return;
    CView* v = modalView;
    modalView = nullptr;
    if (v == mouseCapture)
        cancelMouseCapture();
    invalidRect(v->getViewSize());
    // The overlay may be closing itself from its own mouse handler.
    retired.push_back(v);
}

void CFrame::deleteRetiredViews()
{
    for (CView* v : retired)
        delete v;
    retired.clear();
}

void CFrame::viewRemoved(CView* view)
{
    if (view == focusView)
        focusView = nullptr;
    if (view == mouseCapture)
        cancelMouseCapture();
}

void CFrame::cancelMouseCapture()
{
    CView* v = mouseCapture;
    mouseCapture = nullptr;
    if (v)
        v->onMouseCancel();
}

void CFrame::afterCapturedEvent(CView* view, CMouseEventResult result, int buttonState)
{
    // The view may have been removed, or the capture cancelled, meanwhile.
    if (mouseCapture != view)
        return;
    if (result != kMouseEventTrack)
        mouseCapture = nullptr;
    else if (!(buttonState & kButtonMask))
        cancelMouseCapture(); // every button is up: the gesture cannot go on
}

void CFrame::platformMouseDown(CPoint where, int buttonState)
{
    if (mouseCapture) {
        // Another button during a gesture changes the held state; a press
        // whose state lacks the gesture's button tells the view that its
        // release was lost.
        CView* v = mouseCapture;
        afterCapturedEvent(v, v->onMouseMoved(backing.get(), where, buttonState), buttonState);
        return;
    }
    CView* target = modalView ? modalView : getViewAt(where);
    if (focusView && target != focusView)
        setFocusView(nullptr);
    if (!target)
        return;
    // Captured before the call, so that removing the view from inside its
    // handler drops the capture as well.
    mouseCapture = target;
    CPoint p = where;
    afterCapturedEvent(target, target->mouse(backing.get(), p, buttonState), buttonState);
}

void CFrame::platformMouseMoved(CPoint where, int buttonState)
{
    if (CView* v = mouseCapture) {
        // Motion with nothing held: the release never arrived (the window
        // lost the pointer); end the gesture as a release here.
        const CMouseEventResult r = (buttonState & kButtonMask) ? v->onMouseMoved(backing.get(), where, buttonState)
                                                                : v->onMouseUp(backing.get(), where, buttonState);
        afterCapturedEvent(v, r, buttonState);
        return;
    }
    if (modalView)
        modalView->onMouseMoved(backing.get(), where, buttonState);
}

void CFrame::platformMouseUp(CPoint where, int buttonState)
{
    if (CView* v = mouseCapture)
        afterCapturedEvent(v, v->onMouseUp(backing.get(), where, buttonState), buttonState);
}

bool CFrame::platformKeyDown(const CKeyCode& key)
{
    if (modalView && modalView->onKeyDown(key))
        return true;
    return focusView && focusView->onKeyDown(key);
}

void CFrame::platformExposed(const CRect& area) { present(area); }

} // namespace ovinta
