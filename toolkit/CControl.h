// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CControl: a view with a value in [min, max], a tag (the parameter index it
// edits), a listener told of every change the user makes, a default value
// (Control+click) and an optional background bitmap. setValue may be called
// from the host's parameter thread: it only stores the value and marks the
// control dirty. Everything else is GUI thread.

#include "toolkit/CView.h"

#include <atomic>

namespace ovinta {

class CBitmap;
class CControl;

// Receives the user's changes. modifier-clicks are offered first and may be
// taken (non-zero result) before the control acts.
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    virtual int controlModifierClicked(CDrawContext*, CControl*, int /*buttons*/) { return 0; }
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int tag = 0, CBitmap* background = nullptr);
    ~CControl() override;

    // Any thread.
    virtual void setValue(float v);
    float getValue() const { return value.load(std::memory_order_relaxed); }
    // The value's place between min and max, 0..1 (0 for an empty range).
    float getValueNormalized() const;

    void setMin(float v) { vmin = v; }
    float getMin() const { return vmin; }
    void setMax(float v) { vmax = v; }
    float getMax() const { return vmax; }
    void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    // Keeps the value within [min, max].
    void bounceValue();

    int getTag() const { return tag; }
    void setTag(int t) { tag = t; }
    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* l) { listener = l; }
    void setBackground(CBitmap* bitmap); // remembered; null for none
    CBitmap* getBackground() const { return background; }

    // Gesture brackets for the host's automation recording.
    void beginEdit();
    void endEdit();

    // A value drag (knobs, sliders): the release of the left button, a lost
    // release or a cancel ends it with endEdit.
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override;
    // Control+left click: set the default value, tell the listener, true.
    bool checkDefaultValue(CDrawContext* context, int buttons);
    // Tells the listener (if any) about the current value.
    void notifyListener(CDrawContext* context);

protected:
    // Starts a value drag: beginEdit, and the gesture runs until it ends.
    void beginDrag();
    // For onMouseMoved: true while the drag goes on; false when none runs
    // or the left button came up unseen (the drag is then ended).
    bool continueDrag(int buttons);
    bool isDragging() const { return dragging; }
    // The start of a click: the press's buttons, or 0 when the control does
    // not take it (mouse disabled, none of `wanted` down, or a modifier
    // click that the listener handled).
    int takeClick(CDrawContext* context, int buttons, int wanted);
    // Draws the background as a two-frame film: off above, on below.
    void drawTwoStateFilm(CDrawContext* context);

    CControlListener* listener = nullptr;
    int tag = 0;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
    CBitmap* background = nullptr;

private:
    void endDrag();

    bool dragging = false;            // a value drag runs (GUI thread)
    std::atomic<float> value{0.0f};
    static_assert(std::atomic<float>::is_always_lock_free);
};

} // namespace ovinta
