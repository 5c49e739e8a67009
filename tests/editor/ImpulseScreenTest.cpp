// SPDX-License-Identifier: GPL-3.0-or-later
// The impulse screen read back from the headless window: where each posted
// tap's bars land, the bands of one bar, the order of a pass, and panels that
// stay as they are while nothing is posted.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/EditorBitmaps.h"
#include "editor/screens/OVImpulseScreen.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"

#include <vector>

namespace ovinta {

namespace {

constexpr CPoint kVolumeCorner(8, 424);   // the volume panel in the window
constexpr CPoint kFilterCorner(216, 424); // the filter panel, 208 pixels to its right
constexpr CColor kBandA{200, 162, 103, 255};
constexpr CColor kBandB{160, 129, 82, 255};
constexpr CColor kBandC{128, 103, 65, 255};

class ImpulseScreenTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        panels = loadEditorBitmap(108);
        ASSERT_NE(panels, nullptr);
        openEditor();
        screen = dynamic_cast<OVImpulseScreen*>(editor->getControl(param::kImpulseScreen));
        ASSERT_NE(screen, nullptr);
        // Finish whatever the first trace started, with no flags left.
        engine().takePostedFlags();
        while (screen->passProgress() > 0)
            quietIdle();
    }
    void TearDown() override
    {
        panels->forget();
        EditorTest::TearDown();
    }

    // A timed idle step as if an audio block had run: the editor does not
    // trace, so only the taps set here are posted.
    void quietIdle()
    {
        RoomEngineTestAccess::values(engine()).processTick = engine().derived().processTick + 1;
        idle(1, 40);
    }

    void useRays(int count) { RoomEngineTestAccess::values(engine()).activeRays = count; }

    // Posts a tap in `slot`, as the tracer would.
    void post(int slot, int delay, const std::vector<float>& gains, float hiFreq)
    {
        RaySlot& s = engine().raySlots()[slot];
        s.pendingTap.delay = delay;
        for (int role = 0; role < kOutputRoles; ++role)
            s.pendingTap.gain[role] = role < static_cast<int>(gains.size()) ? gains[role] : 0.0f;
        s.pendingTap.hiFreq = hiFreq;
        s.posted = 1;
    }

    // A delay whose arrival is drawn in `column` (64 columns per second).
    int delayForColumn(int column) const
    {
        const double samplesPerPixel = static_cast<double>(effect->getEngine().derived().sampleRate) / 64.0;
        return -static_cast<int>((column - 1 + 0.5) * samplesPerPixel);
    }

    CColor shown(CPoint corner, int x, int y) const { return window->getPixel(corner.h + x, corner.v + y); }
    CColor background(CPoint corner, int x, int y) const
    {
        CColor c = panels->getPixel(x, (corner == kVolumeCorner ? 0 : 80) + y);
        c.alpha = 255;
        return c;
    }
    // Row 71, the lowest row of every bar, differs from the background.
    bool hasBar(CPoint corner, int column) const
    {
        return shown(corner, column, 71) != background(corner, column, 71);
    }
    std::vector<int> barColumns(CPoint corner) const
    {
        std::vector<int> found;
        for (int x = 0; x < 200; ++x)
            if (hasBar(corner, x))
                found.push_back(x);
        return found;
    }

    CBitmap* panels = nullptr;
    OVImpulseScreen* screen = nullptr;
};

} // namespace

TEST_F(ImpulseScreenTest, EachArrivalIsDrawnAtItsTimeInBothPanels)
{
    const struct {
        const char* name;
        bool reverse;
        int longestColumn; // column of the longest tap (REVERSE mirrors around it)
        int delay;
        std::vector<float> gains;
        float hiFreq;
        std::vector<int> columns; // where both panels show a bar
    } cases[] = {
        {"direct sound at the left", false, 0, 0, {0.05f}, 0.5f, {1}},
        {"an arrival after one second", false, 0, delayForColumn(65), {0.0f, 0.05f}, 0.5f, {65}},
        {"reversed: the longest arrival at the left", true, 101, delayForColumn(101), {0.05f}, 0.5f, {1}},
        {"reversed: the direct sound at the right", true, 101, 0, {0.05f}, 0.5f, {101}},
        {"all four gains zero: no bar at all",
         false,
         0,
         delayForColumn(30),
         {0.0f, 0.0f, 0.0f, 0.0f, 0.5f},
         1.0f,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        useRays(1);
        RoomEngineTestAccess::values(engine()).reverseOn = c.reverse ? 1 : 0;
        RoomEngineTestAccess::values(engine()).longestTap = c.reverse ? delayForColumn(c.longestColumn) : 0;
        post(0, c.delay, c.gains, c.hiFreq);
        quietIdle();
        EXPECT_EQ(barColumns(kVolumeCorner), c.columns);
        EXPECT_EQ(barColumns(kFilterCorner), c.columns);
    }
}

TEST_F(ImpulseScreenTest, ABarRisesFromRow72WithALightAndAMiddleBand)
{
    useRays(1);
    // The centre gain is not part of the volume: 512 * 4 * 5/512 = 20 pixels.
    const float g = 5.0f / 512.0f;
    post(0, delayForColumn(40), {g, g, g, g, 0.5f}, 0.25f); // filter: 73 - 22 = row 51
    quietIdle();
    const struct {
        int row;
        CColor volume; // kTransparentCColor: the background
        CColor filter;
    } rows[] = {
        {50, kTransparentCColor, kTransparentCColor},
        {51, kTransparentCColor, kBandA},
        {52, kBandA, kBandA},
        {56, kBandA, kBandA},
        {57, kBandA, kBandB},
        {58, kBandB, kBandB},
        {62, kBandB, kBandB},
        {63, kBandB, kBandC},
        {64, kBandC, kBandC},
        {71, kBandC, kBandC},
        {72, kTransparentCColor, kTransparentCColor},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        const CColor volume =
            r.volume == kTransparentCColor ? background(kVolumeCorner, 40, r.row) : r.volume;
        const CColor filter =
            r.filter == kTransparentCColor ? background(kFilterCorner, 40, r.row) : r.filter;
        EXPECT_EQ(shown(kVolumeCorner, 40, r.row), volume);
        EXPECT_EQ(shown(kFilterCorner, 40, r.row), filter);
    }
}

TEST_F(ImpulseScreenTest, APassOf100RaysTakesFourDrawsFromTheLastSlotDown)
{
    useRays(100);
    for (int slot = 0; slot < 100; ++slot)
        post(slot, delayForColumn(slot + 1), {0.04f}, 0.5f);
    // Slots 68-99, then 36-67, 4-35 and 0-3.
    for (int firstDrawn : {68, 36, 4, 0}) {
        SCOPED_TRACE(firstDrawn);
        quietIdle();
        for (int slot = 0; slot < 100; ++slot)
            ASSERT_EQ(hasBar(kVolumeCorner, slot + 1), slot >= firstDrawn) << "slot " << slot;
    }
    EXPECT_LE(screen->passProgress(), 0);
}

TEST_F(ImpulseScreenTest, PanelsAreRedrawnOnlyWhenATapIsPosted)
{
    useRays(1);
    post(0, delayForColumn(50), {0.04f}, 0.5f);
    quietIdle();
    ASSERT_EQ(barColumns(kVolumeCorner), std::vector<int>{50});

    // The slot changes without a post: the panels keep their picture.
    engine().raySlots()[0].pendingTap.delay = delayForColumn(120);
    for (int step = 0; step < 3; ++step)
        quietIdle();
    EXPECT_EQ(barColumns(kVolumeCorner), std::vector<int>{50});
    EXPECT_EQ(barColumns(kFilterCorner), std::vector<int>{50});

    // A post starts a pass over a fresh background.
    engine().raySlots()[0].posted = 1;
    quietIdle();
    EXPECT_EQ(barColumns(kVolumeCorner), std::vector<int>{120});
}

TEST_F(ImpulseScreenTest, TapsPostedDuringAPassStartTheNextOne)
{
    useRays(64); // two draws per pass
    for (int slot = 0; slot < 64; ++slot)
        post(slot, delayForColumn(slot + 1), {0.04f}, 0.5f);
    quietIdle();
    post(63, delayForColumn(150), {0.04f}, 0.5f); // already drawn in this pass
    quietIdle();
    EXPECT_FALSE(hasBar(kVolumeCorner, 150)) << "the pass shows one snapshot";
    EXPECT_EQ(engine().raySlots()[63].posted.load(), 1) << "the flag waits for the next pass";
    quietIdle();
    quietIdle();
    EXPECT_TRUE(hasBar(kVolumeCorner, 150));
    EXPECT_FALSE(hasBar(kVolumeCorner, 64));
}

} // namespace ovinta
