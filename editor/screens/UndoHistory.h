// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UndoHistory: the room editor's undo ring. 2048 six-byte records; the
// oldest are dropped when it fills, always keeping a gap of four entries
// between the newest and the oldest. A record whose `continues` is 1 is
// undone together with the record before it, so one UNDO takes back a
// whole edit group (a mirrored line, a box, a vertex move, a CLEAR).
// GUI thread only.

#include <cstdint>

namespace ovinta {

enum UndoType : uint8_t {
    kUndoNothing = 0,     // the ring's floor after a reset
    kUndoListenerMoved = 1,
    kUndoSource1Moved = 2,
    kUndoSource2Moved = 3,
    kUndoWallAdded = 4,   // undo: delete the wall with these ends
    kUndoWallRemoved = 5, // undo: add the wall again
};

struct UndoRecord {
    int8_t x1 = 0, y1 = 0; // grid metres: old marker position or wall start
    int8_t x2 = 0, y2 = 0; // wall end
    uint8_t type = kUndoNothing;
    uint8_t continues = 0; // 1: undone together with the record before
};
static_assert(sizeof(UndoRecord) == 6);

class UndoHistory {
public:
    static constexpr int kEntries = 2048;
    static constexpr int kMask = kEntries - 1;
    static constexpr int kGap = 4;

    UndoHistory() { reset(); }

    // Empties the ring (a new room was loaded).
    void reset();
    void push(const UndoRecord& record);
    // Takes the newest record back into `out`; false when none is left.
    bool pop(UndoRecord& out);
    // Records that pop can still return.
    int size() const { return (head - tail - 1) & kMask; }

private:
    UndoRecord entries[kEntries];
    int head = 0; // where the next record goes
    int tail = 0; // the floor: never handed out
};

} // namespace ovinta
