// SPDX-License-Identifier: GPL-3.0-or-later
// The screens that redraw on every tick allocate nothing while they draw:
// this binary counts the global allocations around many draws of a running
// impulse pass and of the meter with all five outputs shown, and of the main
// screen's EQ view (analysis included) and 3D view of a full room.

#include "EditorFixture.h"
#include "tests/CountingAllocator.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/EditorEqLink.h"
#include "editor/screens/OVEqView.h"
#include "editor/screens/OVImpulseScreen.h"
#include "editor/screens/OVMeterScreen.h"
#include "editor/screens/OVRoom3DView.h"
#include "model/Parameters.h"

namespace ovinta {

TEST_F(EditorTest, ImpulseAndMeterDrawsAllocateNothing)
{
    openEditor();
    effect->setParameter(param::kSurround, 2.0f);
    idle(4);
    auto* impulse = dynamic_cast<OVImpulseScreen*>(editor->getControl(param::kImpulseScreen));
    auto* meter = dynamic_cast<OVMeterScreen*>(editor->getControl(param::kMeterScreen));
    ASSERT_NE(impulse, nullptr);
    ASSERT_NE(meter, nullptr);
    CDrawContext* backing = editor->getFrame()->getBackingStore();

    const long before = countingallocator::allocations.load();
    for (int draw = 0; draw < 40; ++draw) {
        engine().raySlots()[draw % 8].posted = 1; // passes keep starting
        impulse->draw(backing);
        for (int k = 0; k < kOutputRoles; ++k)
            RoomEngineTestAccess::values(engine()).outputPeak[k] = 0.02f * static_cast<float>(draw % 10);
        meter->draw(backing);
    }
    EXPECT_EQ(countingallocator::allocations.load(), before);
}

TEST_F(EditorTest, EqAnd3DViewDrawsAllocateNothing)
{
    openEditor();
    Wall walls[kMaxWalls];
    for (int i = 0; i < kMaxWalls; ++i)
        walls[i] = makeWall(i % 50, (i * 7) % 50, (i * 13 + 5) % 50, (i * 3 + 9) % 51);
    engine().setActiveWalls(walls, kMaxWalls);
    EditorEqLink link(editor->getPort(), *editorHost(), *editor);
    OVEqView eq(editor->getPort(), link, nullptr, nullptr);
    OVRoom3DView room(editor->getPort(), nullptr);
    COffscreenContext picture(OVRoom3DView::kSize, OVRoom3DView::kSize);
    eq.draw(picture);
    room.draw(picture);

    const long before = countingallocator::allocations.load();
    for (int i = 0; i < 5; ++i) {
        engine().setParameter(param::kEQgain2, 0.1f * static_cast<float>(i));
        room.requestRebuild();
        eq.draw(picture);
        room.draw(picture);
        room.mouseDown(CPoint(100, 100), kLButton);
        room.mouseMoved(CPoint(120 + i, 90), kLButton);
        room.mouseUp(CPoint(120 + i, 90), 0);
    }
    EXPECT_EQ(countingallocator::allocations.load(), before);
    EXPECT_GT(room.drawOrder().size(), 100u) << "the room was drawn";
}

} // namespace ovinta
