// SPDX-License-Identifier: GPL-3.0-or-later
// The EQ view drawn headless from a real engine, with a link that records
// what a band drag sends: the axis, the band taken by a press, the drags
// and their gesture brackets, and the curve beyond the picture's limits.

#include "core/DirectEditorPort.h"
#include "editor/screens/OVEqView.h"
#include "EditorFixture.h"
#include "editor/EditorEqLink.h"
#include "editor/screens/EqEditLink.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

constexpr CColor kTick{190, 150, 0, 255};
constexpr CColor kFill{170, 140, 110, 255};
constexpr CColor kCurve{245, 230, 170, 255};
constexpr CColor kLabelBox{150, 80, 80, 255};

struct LinkCall {
    char kind; // b begin edit, s set, r report, e end edit
    int index;
};

class RecordingLink : public EqEditLink {
public:
    explicit RecordingLink(RoomEngine& e) : engine(e) {}
    float getParameter(int index) override { return engine.getParameter(index); }
    void setParameter(int index, float value) override
    {
        calls.push_back({'s', index});
        engine.setParameter(index, value);
    }
    void beginEdit(int index) override { calls.push_back({'b', index}); }
    void endEdit(int index) override { calls.push_back({'e', index}); }
    void reportKnob(int index) override { calls.push_back({'r', index}); }

    std::vector<int> indexesOf(char kind) const
    {
        std::vector<int> found;
        for (const LinkCall& c : calls)
            if (c.kind == kind)
                found.push_back(c.index);
        return found;
    }

    RoomEngine& engine;
    std::vector<LinkCall> calls;
};

class EqViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = enginetest::makeEngine();
        link = std::make_unique<RecordingLink>(*engine);
        port = std::make_unique<DirectEditorPort>(*engine);
        view = std::make_unique<OVEqView>(*port, *link, nullptr, nullptr);
        // Flat bands at 100 Hz, 500 Hz, 2 kHz and 8 kHz.
        const float hz[4] = {100.0f, 500.0f, 2000.0f, 8000.0f};
        for (int band = 0; band < 4; ++band)
            setBand(band, formula::eqFrequencyValue(hz[band]), 0.5f, 0.5f);
    }
    void setBand(int band, float frequency, float gain, float width)
    {
        engine->setParameter(param::kEQfreq1 + 3 * band, frequency);
        engine->setParameter(param::kEQgain1 + 3 * band, gain);
        engine->setParameter(param::kEQwide1 + 3 * band, width);
    }
    // A press at the pixel column where the axis shows `hz`.
    CPoint columnOf(float hz, int y) const { return CPoint(OVEqView::frequencyX(hz, 44100.0f) - 1, y); }

    std::unique_ptr<RoomEngine> engine;
    std::unique_ptr<DirectEditorPort> port; // the view's way to the engine
    std::unique_ptr<RecordingLink> link;
    std::unique_ptr<OVEqView> view;
    COffscreenContext picture{OVEqView::kSize, OVEqView::kSize};
};

TEST_F(EqViewTest, TheOneKilohertzTickSitsAtColumn142)
{
    // 400 (1000 / 22050)^(1/3) = 142.6 at 44.1 kHz.
    view->draw(picture);
    EXPECT_EQ(picture.getPixel(142, 13), kTick);
    EXPECT_EQ(picture.getPixel(142, 394), kTick);
    EXPECT_NE(picture.getPixel(141, 13), kTick);
    EXPECT_NE(picture.getPixel(143, 13), kTick);
}

struct PressCase {
    const char* name;
    float frequency[4]; // raw values of the four bands
    int pressX;
    int selected;
};

TEST_F(EqViewTest, APressTakesTheBandNearestItsFrequency)
{
    const PressCase cases[] = {
        // Column 0 (x = 1) stands for 20 Hz, raw value 0.
        {"far left asks for 20 Hz", {0.30f, 0.02f, 0.50f, 0.90f}, 0, 1},
        // Column 399 (x = 400) stands for half the rate, held to 16 kHz (raw 1).
        {"far right asks for 16 kHz", {0.30f, 0.50f, 0.98f, 0.90f}, 399, 2},
        {"ties keep the lower band", {0.40f, 0.40f, 0.60f, 0.60f}, 0, 0},
        {"1 kHz column", {0.10f, 0.35f, 0.30f, 0.90f}, 141, 1},
    };
    for (const PressCase& c : cases) {
        for (int band = 0; band < 4; ++band)
            setBand(band, c.frequency[band], 0.5f, 0.5f);
        EXPECT_EQ(view->mouseDown(CPoint(c.pressX, 200), kLButton), kMouseEventTrack) << c.name;
        EXPECT_EQ(view->selectedBand(), c.selected) << c.name;
        view->mouseUp(CPoint(c.pressX, 200), 0);
        EXPECT_EQ(view->selectedBand(), -1) << c.name;
    }
}

TEST_F(EqViewTest, AGainDragOf320PixelsUpSpansTheWholeRange)
{
    setBand(1, formula::eqFrequencyValue(500.0f), 0.0f, 0.5f);
    const CPoint press = columnOf(500.0f, 360);
    const float frequencyBefore = engine->getParameter(param::kEQfreq2);
    ASSERT_EQ(view->mouseDown(press, kLButton), kMouseEventTrack);
    EXPECT_EQ(view->selectedBand(), 1);
    engine->editorSignals().viewDirty = false;
    for (int y = 359; y >= 40; y -= 40)
        view->mouseMoved(CPoint(press.h, y), kLButton);
    view->mouseMoved(CPoint(press.h, 40), kLButton);
    EXPECT_EQ(view->mouseUp(CPoint(press.h, 40), 0), kMouseEventHandled);

    EXPECT_FLOAT_EQ(engine->getParameter(param::kEQgain2), 1.0f);
    EXPECT_FLOAT_EQ(engine->getParameter(param::kEQfreq2), frequencyBefore) << "no sideways motion";
    // Only the gain changed: every report is one of the four gain knobs,
    // each of them reported, all within the gesture brackets.
    const std::vector<int> reports = link->indexesOf('r');
    ASSERT_FALSE(reports.empty());
    for (int index : reports)
        EXPECT_TRUE(index == param::kEQgain1 || index == param::kEQgain2 || index == param::kEQgain3
                    || index == param::kEQgain4)
            << index;
    EXPECT_EQ(std::vector<int>(reports.begin(), reports.begin() + 4),
              (std::vector<int>{param::kEQgain1, param::kEQgain2, param::kEQgain3, param::kEQgain4}));
    for (int index : {param::kEQgain1, param::kEQgain2, param::kEQgain3, param::kEQgain4}) {
        int open = 0;
        for (const LinkCall& c : link->calls) {
            if (c.index != index)
                continue;
            open += c.kind == 'b' ? 1 : c.kind == 'e' ? -1 : 0;
            if (c.kind == 'r') {
                EXPECT_EQ(open, 1) << "report of " << index << " outside its gesture";
            }
        }
        EXPECT_EQ(open, 0) << index << " left open";
    }
    EXPECT_EQ(view->selectedBand(), -1);
    EXPECT_TRUE(engine->editorSignals().viewDirty) << "the release redraws the curve";
}

TEST_F(EqViewTest, ABandFollowsTheMouseAlongTheFrequencyAxis)
{
    ASSERT_EQ(view->mouseDown(columnOf(500.0f, 200), kLButton), kMouseEventTrack);
    view->mouseMoved(columnOf(1000.0f, 200), kLButton);
    view->mouseUp(columnOf(1000.0f, 200), 0);
    // Within the frequency span of one pixel column there (about 2%).
    EXPECT_NEAR(static_cast<double>(engine->derived().eqFrequency[1]), 1000.0, 25.0);
    EXPECT_FLOAT_EQ(engine->getParameter(param::kEQgain2), 0.5f);
}

TEST_F(EqViewTest, ARightDragWidensTheBandAndReportsTheWidthKnobs)
{
    ASSERT_EQ(view->mouseDown(columnOf(2000.0f, 200), kRButton), kMouseEventTrack);
    view->mouseMoved(columnOf(2000.0f, 200).offset(40, -100), kRButton);
    view->mouseCancel();
    EXPECT_FLOAT_EQ(engine->getParameter(param::kEQwide3), 0.7f);
    EXPECT_EQ(link->indexesOf('r'),
              (std::vector<int>{param::kEQwide1, param::kEQwide2, param::kEQwide3, param::kEQwide4}));
    EXPECT_EQ(link->indexesOf('b'), link->indexesOf('e')) << "the cancel closes the gesture";
}

TEST_F(EqViewTest, CurveBeyondTheLimitIsFilledFlatWithoutItsEdge)
{
    // A +30 dB high shelf from 2 kHz: the plateau lies 225 pixels up,
    // beyond the 160 the picture shows.
    setBand(3, formula::eqFrequencyValue(2000.0f), 1.0f, 0.5f);
    view->draw(picture);
    EXPECT_EQ(picture.getPixel(380, 44), kFill) << "filled up to the limit";
    EXPECT_NE(picture.getPixel(380, 43), kFill);
    EXPECT_NE(picture.getPixel(380, 43), kCurve) << "no edge stroked along the limit";
    // Where the curve is flat at 0 dB it is stroked on the 0 dB line.
    bool stroked = false;
    for (int y = 202; y <= 206; ++y)
        stroked = stroked || picture.getPixel(60, y) == kCurve;
    EXPECT_TRUE(stroked);
}

TEST_F(EqViewTest, BandLabelsSitAboveABoostAndBelowACut)
{
    const struct {
        float gain;
        int labelOffset; // rows from the marker to a row inside the label box
    } cases[] = {{0.7f, -20}, {0.3f, 20}};
    for (const auto& c : cases) {
        setBand(1, formula::eqFrequencyValue(500.0f), c.gain, 0.5f);
        view->draw(picture);
        // The marker's row: 6 dB per 0.2 of gain, doubled by the band, at
        // 100 pixels per 13.33 dB.
        const int x = OVEqView::frequencyX(500.0f, 44100.0f) + 1;
        const int rise = static_cast<int>(std::lround((c.gain - 0.5f) * 60.0f * 100.0f / (20.0f / 1.5f)));
        EXPECT_EQ(picture.getPixel(x - 17, 204 - rise + c.labelOffset), kLabelBox) << c.gain;
        EXPECT_NE(picture.getPixel(x - 17, 204 - rise - c.labelOffset), kLabelBox) << c.gain;
    }
}

// Through the real effect and editor: the knobs follow and the host sees
// the gain knobs' automation inside begin/end edit.
TEST_F(EditorTest, ABandDragReachesTheHostAsKnobAutomation)
{
    openEditor();
    EditorEqLink link(editor->getPort(), *editorHost(), *editor);
    OVEqView view(editor->getPort(), link, nullptr, nullptr);
    const float hz = engine().derived().eqFrequency[1];
    const CPoint press(OVEqView::frequencyX(hz, engine().derived().sampleRate) - 1, 300);
    const float gainBefore = effect->getParameter(param::kEQgain2);
    calls.clear();
    ASSERT_EQ(view.mouseDown(press, kLButton), kMouseEventTrack);
    ASSERT_EQ(view.selectedBand(), 1);
    view.mouseMoved(press.offset(0, -64), kLButton);
    view.mouseUp(press.offset(0, -64), 0);

    const float gain = effect->getParameter(param::kEQgain2);
    EXPECT_NEAR(gain, std::min(gainBefore + 0.2f, 1.0f), 1e-6f);
    EXPECT_FLOAT_EQ(control(param::kEQgain2), gain) << "the knob follows";
    std::vector<int> automated;
    for (const HostCall& c : callsOf(audioMasterAutomate))
        automated.push_back(c.index);
    EXPECT_EQ(automated,
              (std::vector<int>{param::kEQgain1, param::kEQgain2, param::kEQgain3, param::kEQgain4}));
    EXPECT_FLOAT_EQ(callsOf(audioMasterAutomate, param::kEQgain2).at(0).value, gain);
    for (int index : automated) {
        EXPECT_EQ(callsOf(audioMasterBeginEdit, index).size(), 1u) << index;
        EXPECT_EQ(callsOf(audioMasterEndEdit, index).size(), 1u) << index;
    }
    const std::vector<VstInt32> order = gestureOpcodes();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), audioMasterBeginEdit);
    EXPECT_EQ(order.back(), audioMasterEndEdit);
}

} // namespace

} // namespace ovinta
