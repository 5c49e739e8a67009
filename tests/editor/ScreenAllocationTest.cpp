// The screens that redraw on every tick allocate nothing while they draw:
// this binary counts the global allocations around many draws of a running
// impulse pass and of the meter with all five outputs shown.

#include "EditorFixture.h"
#include "tests/CountingAllocator.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/screens/OVImpulseScreen.h"
#include "editor/screens/OVMeterScreen.h"
#include "model/Parameters.h"

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
