// SPDX-License-Identifier: GPL-3.0-or-later
// OVFakeControl: deferred reporting of position parameters.

#include "editor/OVFakeControl.h"

namespace ovinta {

OVFakeControl::OVFakeControl(const CRect& r, CControlListener* l, int t) : CControl(r, l, t, nullptr)
{
    // Invisible: a press at its corner goes to whatever lies under it.
    setMouseEnabled(false);
}

OVFakeControl::~OVFakeControl() = default;

void OVFakeControl::notifyValue(float v)
{
    if (v == getValue())
        return;
    setValue(v);
    pending.store(true, std::memory_order_relaxed);
    setDirty();
}

void OVFakeControl::draw(CDrawContext* context)
{
    reportPending(context);
}

void OVFakeControl::reportPending(CDrawContext* context)
{
    if (!pending.exchange(false, std::memory_order_relaxed))
        return;
    notifyListener(context);
}

} // namespace ovinta
