// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CViewContainer: a view that owns child views (deleted with it) and paints
// a background bitmap or colour behind them. Children use frame pixels.
// GUI thread only.

#include "toolkit/CView.h"
#include "toolkit/DirtyRegion.h"

#include <functional>
#include <vector>

namespace ovinta {

class CBitmap;

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Takes ownership of `view`; later views are drawn over earlier ones.
    void addView(CView* view);
    // Deletes `view` if it is a child.
    void removeView(CView* view);
    void removeAll();
    int getNbViews() const { return static_cast<int>(views.size()); }
    CView* getView(int index) const;

    void setBackground(CBitmap* bitmap); // remembered; null for none
    CBitmap* getBackground() const { return background; }
    void setBackgroundColor(CColor c) { backgroundColor = c; }

    void draw(CDrawContext* context) override;
    // Paints the background (bitmap or colour) in `area`.
    void drawBackgroundRect(CDrawContext* context, const CRect& area);
    // Draws the dirty descendants and adds what was drawn to `drawn`.
    void drawDirtyViews(CDrawContext* context, DirtyRegion& drawn);
    // Draws every visible descendant overlapping `area`, clipped to it.
    void drawViewsIn(CDrawContext* context, const CRect& area);
    // The top-most visible, mouse-enabled leaf view under `where`.
    CView* getViewAt(CPoint where) const;
    void forEachView(const std::function<void(CView*)>& fn) const;

    bool isDirty() const override;
    void attached(CFrame* f) override;

protected:
    std::vector<CView*> views;
    CBitmap* background = nullptr;
    CColor backgroundColor = kBlackCColor;
};

} // namespace ovinta
