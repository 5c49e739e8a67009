// CFrame: backing store, idle cycle, input dispatch and the modal overlay.

#include "toolkit/CFrame.h"

#include "toolkit/AEffGUIEditor.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cairo.h>

namespace {
cairo_surface_t* newBackingSurface(const CRect& size)
{
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width() > 0 ? size.width() : 1,
                                      size.height() > 0 ? size.height() : 1);
}
} // namespace

CFrame::CFrame(const CRect& r, void* parentWindow, AEffGUIEditor* ed)
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
    closeModalView();
    deleteRetiredViews();
    focusView = nullptr;
    removeAll();
    platform.reset();
}

HeadlessWindow* CFrame::getHeadless() const { return dynamic_cast<HeadlessWindow*>(platform.get()); }

void CFrame::idle()
{
    if (inIdle) {
        // A control's tracking loop, running inside this idle's input
        // delivery, asks for a repaint so that its pressed look shows.
        if (trackingDepth > 0)
            update();
        return;
    }
    inIdle = true;
    if (platform && trackingDepth == 0)
        platform->processEvents();
    update();
    inIdle = false;
}

void CFrame::doIdleStuff()
{
    if (editor)
        editor->doIdleStuff();
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

CPoint CFrame::getCurrentMouseLocation() { return platform ? platform->mousePosition() : CPoint(); }

int CFrame::getCurrentMouseButtons() { return platform ? platform->buttonState() : 0; }

uint32_t CFrame::getTicks() { return platform ? platform->tickCountMs() : AEffGUIEditor::systemTicks(); }

int CFrame::getKnobMode() const { return AEffGUIEditor::getKnobMode(); }

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
}

void CFrame::platformMouseDown(CPoint where, int buttonState)
{
    if (trackingDepth > 0)
        return;
    CView* target = modalView ? modalView : getViewAt(where);
    if (focusView && target != focusView)
        setFocusView(nullptr);
    if (!target)
        return;
    ++trackingDepth;
    CPoint p = where;
    target->mouse(backing.get(), p, (buttonState & kButtonMask) ? buttonState : -1);
    --trackingDepth;
    update();
}

void CFrame::platformMouseMoved(CPoint where, int)
{
    if (modalView && trackingDepth == 0)
        modalView->mouseMoved(where);
}

bool CFrame::platformKeyDown(const CKeyCode& key)
{
    if (modalView && modalView->onKeyDown(key))
        return true;
    return focusView && focusView->onKeyDown(key);
}

void CFrame::platformExposed(const CRect& area) { present(area); }
