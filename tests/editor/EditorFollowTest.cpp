// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter changes from the host reach the controls and the value displays
// without being sent back, the displays show the engine's values in their
// formats, and the host's parameter display describes every parameter.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/OVFakeControl.h"
#include "editor/screens/OVAnimScreen.h"
#include "model/Parameters.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"

#include <cstring>
#include <string>
#include <utility>

namespace ovinta {

namespace {

std::string displayText(const CParamDisplay* display)
{
    char text[kDisplayTextSize];
    display->formatValue(text);
    return text;
}

} // namespace

class EditorFollowTest : public EditorTest {
protected:
    // The host's automation entry, as a host calls it.
    void automate(int index, float value)
    {
        AEffect* e = effect->getAeffect();
        e->setParameter(e, index, value);
    }
    // What a display shows once the editor's next idle has followed the changes.
    std::string shown(int tag)
    {
        idle(1, 0);
        return displayText(editor->getValueDisplay(tag));
    }
    std::string hostDisplay(int index)
    {
        char text[kVstMaxLabelLen] = "untouched";
        effect->getAeffect()->dispatcher(effect->getAeffect(), effGetParamDisplay, index, 0, text, 0.0f);
        return text;
    }
};

TEST_F(EditorFollowTest, HostAutomationMovesControlsWithoutEchoingBack)
{
    openEditor();
    idle(2);
    calls.clear();
    automate(param::kGain, 1.0f);
    automate(param::kHeadAngle, 0.75f);
    automate(param::kBend, 0.3f);
    automate(param::kEQgain2, 0.8f);
    automate(param::kEarsX, 0.2f);
    automate(param::kPanY, 0.7f);
    automate(param::kStereoOnOff, 1.0f);
    automate(param::kSurround, 2.0f);
    idle(4);
    EXPECT_EQ(control(param::kGain), 1.0f);
    EXPECT_EQ(control(param::kHeadAngle), 0.75f);
    EXPECT_EQ(control(param::kBend), 0.3f);
    EXPECT_EQ(control(param::kEQgain2), 0.8f);
    EXPECT_EQ(control(param::kEarsX), 0.2f);
    EXPECT_EQ(control(param::kPanY), 0.7f);
    EXPECT_EQ(control(param::kStereoOnOff), 1.0f);
    EXPECT_EQ(control(param::kSurround), 2.0f);
    // Nothing went back to the host: no automation, no gesture.
    EXPECT_TRUE(gestureOpcodes().empty());
    // The EQ change shows the EQ view for 30 ticks; then the edit view is back.
    idle(30);
    EXPECT_EQ(editor->getMainScreen()->shownMode(), kEditMode);
    // The listener moved to 0.2 * 50 = 10 m: its reference point is screen
    // pixel 8 * 10 + 2, frame pixel 8 more. Facing right (head angle 0.75),
    // its arrow's tip lies 16 pixels to the right, in the listener's yellow.
    const int y = 8 + 8 * static_cast<int>(engine().derived().listenerY) + 2;
    const CColor tip = window->getPixel(8 + 82 + 16, y);
    EXPECT_EQ(tip, (CColor{255, 255, 150, 255}));
}

TEST_F(EditorFollowTest, DisplaysShowTheEngineValuesInTheirFormats)
{
    openEditor();
    const struct {
        int index;
        float raw;
        const char* text;
    } rows[] = {
        {param::kDryOut, 1.0f, "0 dB"},       {param::kDryOut, 0.5f, "-12.0dB"}, // 20 log10(0.25)
        {param::kDryOut, 0.0f, "-inf."},      {param::kGain, 1.0f, "4.0dB"},     // +4 dB at full scale
        {param::kAbsorb, 1.0f, "70.00%"},     {param::kHiCut, 0.5f, "8.75%"},    // 0.7 * 0.125
        {param::kScatter, 0.3f, "15.00%"},    {param::kHeight, 0.25f, "7.00m"},  // 20 * 0.25 + 2
        {param::kAbsorbAir, 1.0f, "50.00%"},  {param::kHiCutAir, 0.0f, "0.00%"},
        {param::kPreDelay, 0.0f, "-500ms"},   {param::kPreDelay, 0.25f, "-250ms"},
        {param::kPreDelay, 0.5f, "0ms"},      {param::kScale, 0.0f, "10%"},      // the engine's floor
        {param::kScale, 0.5f, "100%"},        {param::kHeadAngle, 0.5f, "0"},
        {param::kHeadAngle, 0.25f, "270"},    {param::kDiffusion, 1.0f, "4.0dB"},
        {param::kDiffSize, 0.5f, "100%"},     {param::kDiffSize, 1.0f, "800%"},
        {param::kDiffLoPass, 0.5f, "OFF"},    {param::kDiffLoPass, 0.0f, "MONO"},
        {param::kDiffLoPass, 0.04f, "MONO"},  {param::kDiffLoPass, 0.05f, "0.01"}, // 4 a^2
        {param::kDiffLoPass, 1.0f, "4.00"},
    };
    for (const auto& row : rows) {
        automate(row.index, row.raw);
        EXPECT_EQ(shown(row.index), row.text) << "parameter " << row.index << " at " << row.raw;
    }
}

TEST_F(EditorFollowTest, RayCountDisplayShowsTheRaysInUseOnceTraced)
{
    openEditor();
    automate(param::kNumRays, 1.0f); // 2 * (8 + 248) = 512 rays asked for
    // The slots are rewritten by the next trace; the idle cycle traces while
    // no audio runs and then shows the count in use.
    idle(3);
    EXPECT_EQ(engine().derived().activeRays, 512);
    EXPECT_EQ(shown(param::kNumRays), "512");
    automate(param::kNumRays, 0.0f);
    idle(3);
    EXPECT_EQ(shown(param::kNumRays), "16");
}

TEST_F(EditorFollowTest, HostParameterDisplayDescribesTheOtherParameters)
{
    const struct {
        int index;
        float raw;
        const char* text;
    } rows[] = {
        {param::kEarsX, 0.5f, "25m"},         {param::kSource2Y, 0.31f, "16m"},  // 15.5 rounds up
        {param::kEarsY, 0.77f, "39m"},        // 50 * 0.77f is 38.5 in float, as the engine places it
        {param::kPanX, 0.5f, "23"},           {param::kStereoOnOff, 1.0f, "ON"},
        {param::kReverseOnOff, 0.0f, "OFF"},  {param::kEQfreq1, 0.0f, "20Hz"},
        {param::kEQfreq2, 0.5f, "2.02kHz"},   {param::kEQgain1, 1.0f, "+15.0dB"}, // 30 * 0.5
        {param::kEQgain4, 0.0f, "-15.0dB"},   {param::kEQwide1, 1.0f, "0.20"},    // shelf
        {param::kEQwide2, 1.0f, "3.10oct"},  {param::kSpeakerOut1, 1.0f, "2"},
        {param::kSurround, 1.0f, "4 outs"},   {param::kSurround, 2.0f, "5 outs"},
        {param::kEQfreq4, 1.0f, "16.0kHz"}, // 15980 + 20
        {param::kNumRays, 1.0f, "512"},
    };
    for (const auto& row : rows) {
        automate(row.index, row.raw);
        EXPECT_EQ(hostDisplay(row.index), row.text) << "parameter " << row.index;
    }
    effect->setProgram(12);
    EXPECT_EQ(hostDisplay(param::kProgramSelect), "12");
    // An index the host does not have leaves its buffer alone.
    EXPECT_EQ(hostDisplay(47), "untouched");
}

TEST_F(EditorFollowTest, HostParameterDisplayStaysWithinEightBytes)
{
    // Texts longer than the traditional display buffer are cut, never
    // written past it: a very low wet gain, wild values from a chunk.
    const struct {
        int index;
        float raw;
        const char* text;
    } rows[] = {
        {param::kGain, 0.001f, "-116.0d"},    // -116.0dB, cut
        {param::kEQgain3, 1000.0f, "+15.0dB"}, // held to 1 where it enters: 30 * 0.5 dB
        {param::kPreDelay, -3.0e6f, "-500ms"}, // held to 0: -500 ms
        {param::kNumRays, 1.0e30f, "512"},    // the ray count's upper limit
        {param::kNumRays, -1.0e30f, "16"},    // and its lower one
    };
    for (const auto& row : rows) {
        automate(row.index, row.raw);
        char text[16];
        std::memset(text, '#', sizeof text);
        effect->getAeffect()->dispatcher(effect->getAeffect(), effGetParamDisplay, row.index, 0, text, 0.0f);
        EXPECT_EQ(text[8], '#') << "parameter " << row.index;
        text[15] = 0;
        EXPECT_STREQ(text, row.text) << "parameter " << row.index;
    }
}

TEST_F(EditorFollowTest, PositionControlsReportOnlyWholeMetreChanges)
{
    openEditor();
    idle(2); // the first paint's reports
    calls.clear();
    OVAnimScreen* screen = editor->getMainScreen();
    // A drag on the main screen moves the engine's listener in whole metres
    // and tells the editor after every step.
    RoomEngineTestAccess::values(engine()).listenerX = 20.0f;
    editor->valueChanged(nullptr, screen);
    editor->valueChanged(nullptr, screen); // the same position again
    idle();
    RoomEngineTestAccess::values(engine()).listenerX = 21.0f;
    editor->valueChanged(nullptr, screen);
    idle(2);
    const auto sent = callsOf(audioMasterAutomate, param::kEarsX);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_FLOAT_EQ(sent[0].value, 0.4f);  // 20 m / 50
    EXPECT_FLOAT_EQ(sent[1].value, 0.42f); // 21 m / 50
    EXPECT_TRUE(callsOf(audioMasterAutomate, param::kEarsY).empty());
    EXPECT_EQ(program().parEarsX, sent[1].value);

    // The panner reports in 46ths.
    ASSERT_NE(program().parPanX, 30.0f / 46.0f);
    RoomEngineTestAccess::values(engine()).panX = 30.0f;
    editor->valueChanged(nullptr, editor->getControl(param::kMeterScreen));
    idle();
    const auto pan = callsOf(audioMasterAutomate, param::kPanX);
    ASSERT_EQ(pan.size(), 1u);
    EXPECT_NEAR(pan[0].value, 30.0f / 46.0f, 1e-6f);
}

TEST_F(EditorFollowTest, ProgramChangeFromTheHostRefreshesEveryControl)
{
    openEditor();
    calls.clear();
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetProgram, 0, 9, nullptr, 0.0f);
    idle();
    const OvintaProgram& p = engine().programBank().programs[9];
    EXPECT_EQ(control(param::kAbsorb), p.parAbsorb);
    EXPECT_EQ(control(param::kEQfreq4), p.parEQfreq4);
    EXPECT_EQ(control(param::kHeadAngle), p.parHeadAngle);
    EXPECT_EQ(control(param::kSource1Y), p.parSource1Y);
    const auto* menu = dynamic_cast<const COptionMenu*>(editor->getControl(param::kProgramSelect));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getCurrent(), 9);
    EXPECT_TRUE(callsOf(audioMasterAutomate).empty());
}

TEST_F(EditorFollowTest, ClosedEditorIgnoresChangesAndReopensWithThem)
{
    openEditor();
    editor->close();
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->getControl(param::kAbsorb), nullptr);
    automate(param::kAbsorb, 0.9f); // stored by the engine only
    editor->idle();                 // a host may still call idle
    openEditor();
    EXPECT_EQ(control(param::kAbsorb), 0.9f);
    EXPECT_EQ(shown(param::kAbsorb), "51.03%"); // 0.7 * 0.9^3
}

TEST_F(EditorFollowTest, ProgramMenuListsOnlyNamedProgramsAndMapsThemBack)
{
    // A loaded bank may hold programs without a name: they get no entry,
    // and the entries after them still select the right program.
    engine().programBank().programs[2].name[0] = '\0';
    openEditor();
    auto* menu = dynamic_cast<COptionMenu*>(editor->getControl(param::kProgramSelect));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getNbEntries(), kProgramCount - 1);
    EXPECT_EQ(std::string(menu->getEntry(2)), std::string(engine().programBank().programs[3].name));
    menu->setCurrent(2);
    editor->valueChanged(nullptr, menu);
    EXPECT_EQ(effect->getProgram(), 3);
    EXPECT_EQ(menu->getCurrent(), 2);
    effect->setProgram(2); // the program without an entry
    idle(1, 0);
    EXPECT_EQ(menu->getCurrent(), -1);
}

} // namespace ovinta
