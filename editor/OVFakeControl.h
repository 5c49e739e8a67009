// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVFakeControl: an invisible 3 x 3 pixel control that carries one position
// parameter (listener, sources, panner) to the host. The screens that move
// those positions hand the new value over with notifyValue; the control
// tells its listener at its next draw, so a drag produces at most one host
// update per parameter per redraw, and only for values that changed.
// notifyValue and draw run on the GUI thread; setValue (host automation)
// may come from any thread and stays silent.

#include "toolkit/CControl.h"

#include <atomic>

namespace ovinta {

class OVFakeControl : public CControl {
public:
    OVFakeControl(const CRect& size, CControlListener* listener, int tag);
    ~OVFakeControl() override;

    // A new value from a screen: stored, flagged and reported at the next draw.
    void notifyValue(float value);
    // Paints nothing; reports a flagged value to the listener.
    void draw(CDrawContext* context) override;
    // Reports a flagged value now (the end of a drag), not at the next draw.
    void reportPending(CDrawContext* context);

    bool isPending() const { return pending.load(std::memory_order_relaxed); }

private:
    // Raised at construction, so the first paint reports the starting value.
    std::atomic<bool> pending{true};
};

} // namespace ovinta
