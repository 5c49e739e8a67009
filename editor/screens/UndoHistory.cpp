// SPDX-License-Identifier: GPL-3.0-or-later
// UndoHistory: the ring's push and pop.

#include "editor/screens/UndoHistory.h"

namespace ovinta {

void UndoHistory::reset()
{
    head = tail = 0;
    entries[0] = UndoRecord{};
    head = 1;
}

void UndoHistory::push(const UndoRecord& record)
{
    entries[head] = record;
    head = (head + 1) & kMask;
    if (((head + kGap) & kMask) == tail)
        tail = (tail + 1) & kMask;
}

bool UndoHistory::pop(UndoRecord& out)
{
    const int previous = (head - 1) & kMask;
    if (previous == tail)
        return false;
    head = previous;
    out = entries[head];
    return true;
}

} // namespace ovinta
