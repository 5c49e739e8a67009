// SPDX-License-Identifier: GPL-3.0-or-later
// The meter screen read back from the headless window: which speakers show,
// the length of the gain and level fans, the peak decay between draws, and
// the panner drag with what the host hears of it.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/EditorBitmaps.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"

#include <cmath>
#include <optional>
#include <vector>

namespace ovinta {

namespace {

constexpr CPoint kMeterCorner(596, 392);
constexpr int kSide = 92;
constexpr CPoint kPuckCentre(596 + 46, 392 + 46); // the panner at (23, 23)

// The four corners' areas (clear of the puck at the centre) and the centre
// speaker's, with the label each holds.
constexpr CRect kCornerArea[4] = {{0, 0, 30, 30}, {62, 0, 92, 30}, {0, 62, 30, 92}, {62, 62, 92, 92}};
constexpr CRect kCornerLabel[4] = {{0, 0, 12, 12}, {80, 0, 92, 12}, {0, 79, 12, 91}, {80, 79, 92, 91}};
constexpr CRect kCentreArea{35, 0, 57, 30};

using Picture = std::vector<CColor>; // kSide x kSide

class MeterScreenTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        openEditor();
        CBitmap* background = loadEditorBitmap(115);
        ASSERT_NE(background, nullptr);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                CColor c = background->getPixel(x, y);
                c.alpha = 255;
                plain.push_back(c);
            }
        background->forget();
        movePannerByHost(23, 23);
    }

    void useOutputs(int setting, int expectedOutputs)
    {
        effect->setParameter(param::kSurround, static_cast<float>(setting));
        idle();
        ASSERT_EQ(engine().derived().outputCount, expectedOutputs);
    }
    void movePannerByHost(int x, int y)
    {
        effect->setParameter(param::kPanX, static_cast<float>(x) / 46.0f);
        effect->setParameter(param::kPanY, static_cast<float>(y) / 46.0f);
        idle();
    }
    void setPeaks(float level)
    {
        for (int k = 0; k < kOutputRoles; ++k)
            RoomEngineTestAccess::values(engine()).outputPeak[k] = level;
    }
    // The meter as shown, after a draw with no time elapsed (no decay).
    Picture drawNow()
    {
        idle(1, 0);
        Picture p;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                p.push_back(window->getPixel(kMeterCorner.h + x, kMeterCorner.v + y));
        return p;
    }
    // The smallest rectangle of `area` (less `skip`) holding every pixel
    // where the two pictures differ; nothing when they agree there.
    static std::optional<CRect> changed(const Picture& a, const Picture& b, CRect area, CRect skip = {})
    {
        std::optional<CRect> box;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                if (skip.pointInside(CPoint(x, y)) || a[y * kSide + x] == b[y * kSide + x])
                    continue;
                const CRect pixel(x, y, x + 1, y + 1);
                box = box ? box->unite(pixel) : pixel;
            }
        return box;
    }

    Picture plain; // the meter's background picture
};

} // namespace

TEST_F(MeterScreenTest, OnlyTheSpeakersInUseShowLabelsAndFans)
{
    const struct {
        int setting;
        int outputs;
        bool shown[5]; // speakers 1..5
    } cases[] = {
        {0, 2, {true, true, false, false, false}},
        {1, 4, {true, true, true, true, false}},
        {2, 5, {true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outputs);
        useOutputs(c.setting, c.outputs);
        setPeaks(0.0f);
        const Picture shown = drawNow();
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(changed(plain, shown, kCornerArea[k]).has_value(), c.shown[k]) << "speaker " << k + 1;
        EXPECT_EQ(changed(plain, shown, kCentreArea).has_value(), c.shown[4]) << "speaker 5";
    }
}

TEST_F(MeterScreenTest, TheCentredPannerGivesFourGainFansOf18Pixels)
{
    useOutputs(1, 4);
    setPeaks(0.0f);
    for (int k = 0; k < 4; ++k)
        ASSERT_FLOAT_EQ(engine().derived().outputGain[k], 1.0f);
    const Picture shown = drawNow();
    // Each fan starts 3 pixels in from its corner.
    const int outerLeft[4] = {3, 89 - 18, 3, 89 - 18};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        const auto fan = changed(plain, shown, kCornerArea[k], kCornerLabel[k]);
        ASSERT_TRUE(fan.has_value());
        EXPECT_EQ(fan->width(), 18);
        EXPECT_EQ(fan->left, outerLeft[k]);
    }
}

TEST_F(MeterScreenTest, ThePuckSitsAtTwicePannerUnits)
{
    useOutputs(0, 2); // the stereo gains depend on x only: the fans stay
    setPeaks(0.0f);
    const Picture centred = drawNow();
    movePannerByHost(23, 33);
    setPeaks(0.0f);
    const Picture lower = drawNow();
    // The 16 x 16 ring left (38, 38)-(54, 54) for (38, 58)-(54, 74).
    const CRect whole(0, 0, kSide, kSide);
    EXPECT_TRUE(changed(centred, lower, CRect(38, 38, 54, 54)).has_value());
    EXPECT_TRUE(changed(centred, lower, CRect(38, 58, 54, 74)).has_value());
    EXPECT_FALSE(changed(centred, lower, whole, CRect(38, 38, 54, 74)).has_value());
}

TEST_F(MeterScreenTest, LevelFansShow60DecibelsDoubledWithMoreThanTwoOutputs)
{
    const struct {
        int setting;
        int outputs;
        float peak;
        int pixels; // trunc((log10(shown level) + 3) * 14)
    } cases[] = {
        {1, 4, 0.5f, 42},  // doubled to full scale
        {0, 2, 0.5f, 37},  // -6 dB of 60 over 42 pixels
        {1, 4, 0.25f, 37}, // doubled to 0.5
        {0, 2, 4.0f, 42},  // above full scale: full
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixels);
        useOutputs(c.setting, c.outputs);
        setPeaks(0.0f);
        const Picture silent = drawNow();
        RoomEngineTestAccess::values(engine()).outputPeak[0] = c.peak;
        const auto fan = changed(silent, drawNow(), CRect(0, 0, 46, 46));
        ASSERT_TRUE(fan.has_value());
        EXPECT_EQ(*fan, CRect(4, 4, 4 + c.pixels, 4 + c.pixels));
    }
}

TEST_F(MeterScreenTest, AFullScalePeakDecaysAwayIn31DrawsOf40ms)
{
    useOutputs(0, 2);
    setPeaks(0.0f);
    const Picture silent = drawNow();
    RoomEngineTestAccess::values(engine()).outputPeak[0] = 1.0f;
    for (int draw = 1; draw <= 31; ++draw) {
        idle(1, 40); // each draw keeps 1 - 40 * 0.005 = 0.8 of the peak
        ASSERT_NEAR(engine().derived().outputPeak[0], std::pow(0.8, draw), 1e-4 * std::pow(0.8, draw))
            << draw;
        if (draw == 30) {
            const auto fan = changed(silent, drawNow(), CRect(0, 0, 46, 46));
            ASSERT_TRUE(fan.has_value());
            EXPECT_EQ(fan->width(), 1) << "0.8^30 is 2.9 dB above the floor";
        }
    }
    EXPECT_FALSE(changed(silent, drawNow(), CRect(0, 0, 46, 46)).has_value());

    // A long pause between draws clears the peak at once.
    RoomEngineTestAccess::values(engine()).outputPeak[0] = 1.0f;
    idle(1, 250);
    EXPECT_EQ(engine().derived().outputPeak[0], 0.0f);
}

TEST_F(MeterScreenTest, DraggingThePuckMovesThePannerWithinItsLimits)
{
    const struct {
        const char* name;
        CPoint press;
        std::vector<CPoint> moves;
        CPoint release;
        int x, y; // panner units after the release
        int buttons = kLButton;
    } cases[] = {
        {"on the centre, 20 pixels right: 10 units",
         kPuckCentre,
         {{652, 438}, {662, 438}},
         {662, 438},
         33,
         23},
        {"grabbed off-centre: moves with the mouse, no jump", {646, 441}, {{666, 461}}, {666, 461}, 33, 33},
        {"past the top-left edge: stops at 2", kPuckCentre, {{560, 300}}, {560, 300}, 2, 2},
        {"past the bottom-right edge: stops at 44", kPuckCentre, {{760, 600}}, {760, 600}, 44, 44},
        {"the release point is not applied", kPuckCentre, {{662, 438}}, {690, 470}, 33, 23},
        {"a press 10 pixels away misses: nothing moves", {652, 438}, {{620, 420}}, {620, 420}, 23, 23},
        {"both buttons: nothing moves", kPuckCentre, {{662, 438}}, {662, 438}, 23, 23, kLButton | kRButton},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        movePannerByHost(23, 23);
        calls.clear();
        window->pressAt(c.press, c.buttons);
        idle();
        for (CPoint m : c.moves) {
            window->holdAt(m, c.buttons);
            idle();
        }
        window->releaseAt(c.release);
        idle();
        EXPECT_EQ(engine().derived().panX, static_cast<float>(c.x));
        EXPECT_EQ(engine().derived().panY, static_cast<float>(c.y));
        EXPECT_NEAR(program().parPanX, static_cast<float>(c.x) / 46.0f, 1e-6f)
            << "the host and the record follow";
        EXPECT_NEAR(program().parPanY, static_cast<float>(c.y) / 46.0f, 1e-6f);
    }
}

TEST_F(MeterScreenTest, TheHostHearsThePannerInsideBeginAndEndEdit)
{
    calls.clear();
    window->pressAt(kPuckCentre, kLButton);
    idle();
    for (int step = 1; step <= 3; ++step) {
        window->holdAt(CPoint(kPuckCentre.h + 4 * step, kPuckCentre.v - 2 * step), kLButton);
        idle();
    }
    window->releaseAt(CPoint(600, 400));
    idle(2);

    for (int index : {param::kPanX, param::kPanY}) {
        SCOPED_TRACE(index);
        std::vector<VstInt32> seen;
        std::vector<float> sent;
        for (const HostCall& c : calls)
            if (c.index == index
                && (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit
                    || c.opcode == audioMasterAutomate)) {
                if (seen.empty() || seen.back() != c.opcode)
                    seen.push_back(c.opcode);
                if (c.opcode == audioMasterAutomate)
                    sent.push_back(c.value);
            }
        EXPECT_EQ(seen,
                  (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
        ASSERT_FALSE(sent.empty());
        // The last motion: 12 pixels right of the centre and 6 up, 6 and 3 units.
        EXPECT_NEAR(sent.back(), (index == param::kPanX ? 29.0f : 20.0f) / 46.0f, 1e-6f);
    }
    // A press that misses the puck tells the host nothing.
    calls.clear();
    window->drag(CPoint(596 + 10, 392 + 10), CPoint(650, 450), 4);
    idle(2);
    EXPECT_TRUE(gestureOpcodes().empty());
}

} // namespace ovinta
