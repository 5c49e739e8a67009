// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window driven with scripted mouse input: which parameter each
// control changes, what the host is told (automation inside begin/end edit
// for the reported parameters, nothing for the others), and the buttons
// that act on each other.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/screens/OVAnimScreen.h"
#include "model/Parameters.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"

#include <string>

namespace ovinta {

namespace {

std::string displayText(const CParamDisplay* display)
{
    char text[kDisplayTextSize];
    display->formatValue(text);
    return text;
}

std::vector<std::string> entries(const CControl* control)
{
    std::vector<std::string> found;
    const auto* menu = dynamic_cast<const COptionMenu*>(control);
    for (int i = 0; menu && i < menu->getNbEntries(); ++i)
        found.emplace_back(menu->getEntry(i));
    return found;
}

} // namespace

TEST_F(EditorTest, EveryControlSitsWhereThePanelDrawsIt)
{
    openEditor();
    CFrame* frame = editor->getFrame();
    // Points read off the panel layout, one inside each control.
    const struct {
        CPoint at;
        int tag;
    } places[] = {
        {{463, 62}, 2},    {{670, 60}, 44},  {{460, 170}, 6},  {{559, 286}, 16}, {{620, 285}, 0},
        {{560, 445}, 19},  {{583, 147}, 24}, {{679, 189}, 35}, {{645, 168}, 31}, {{460, 346}, 23},
        {{460, 370}, 36},  {{510, 372}, 37}, {{535, 372}, 38}, {{570, 372}, 39}, {{680, 372}, 43},
        {{660, 506}, 45},  {{250, 544}, 46}, {{380, 545}, 67}, {{410, 545}, 68}, {{200, 200}, 47},
        {{200, 460}, 58},  {{640, 440}, 53}, {{30, 520}, 60},  {{80, 520}, 61},  {{130, 520}, 62},
        {{190, 520}, 63},  {{240, 520}, 65}, {{290, 520}, 64}, {{390, 520}, 54}, {{560, 210}, 55},
        {{610, 515}, 57},  {{670, 545}, 59}, {{500, 520}, 20},
    };
    for (const auto& p : places) {
        const auto* control = dynamic_cast<const CControl*>(frame->getViewAt(p.at));
        ASSERT_NE(control, nullptr) << "nothing at " << p.at.h << "," << p.at.v;
        EXPECT_EQ(control->getTag(), p.tag) << "at " << p.at.h << "," << p.at.v;
    }
    // The invisible position controls never take the mouse.
    EXPECT_EQ(frame->getViewAt(CPoint(1, 1)), nullptr);
}

TEST_F(EditorTest, ControlsStartFromTheCurrentProgram)
{
    openEditor();
    const OvintaProgram& p = program();
    EXPECT_EQ(control(param::kAbsorb), p.parAbsorb);
    EXPECT_EQ(control(param::kHeadAngle), p.parHeadAngle);
    EXPECT_EQ(control(param::kEQgain3), p.parEQgain3);
    EXPECT_EQ(control(param::kBend), p.parBend);
    EXPECT_EQ(control(param::kEarsX), p.parEarsX);
    EXPECT_EQ(control(param::kSurround), p.parSurround);
    EXPECT_EQ(control(param::kStereoOnOff), p.parStereoOnOff);
    EXPECT_EQ(control(param::kToolLines), 1.0f);
    EXPECT_EQ(control(param::kToolBoxes), 0.0f);
    EXPECT_EQ(control(param::k3DView), 0.0f);
    EXPECT_EQ(control(param::kHelp), 0.0f);
    // The program menu lists the factory programs and shows program 0.
    const auto* menu = dynamic_cast<const COptionMenu*>(editor->getControl(param::kProgramSelect));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getNbEntries(), kProgramCount);
    EXPECT_EQ(std::string(menu->getEntry(0)), std::string(engine().programBank().programs[0].name));
    EXPECT_EQ(menu->getCurrent(), 0);
}

TEST_F(EditorTest, FirstPaintReportsEachPositionOnceWithItsStoredValue)
{
    openEditor();
    idle(3);
    const OvintaProgram& p = program();
    const float stored[] = {p.parEarsX, p.parEarsY, p.parSource1X, p.parSource1Y,
                            p.parSource2X, p.parSource2Y, p.parPanX, p.parPanY};
    const int tags[] = {8, 9, 10, 11, 12, 13, 21, 22};
    for (int i = 0; i < 8; ++i) {
        const auto sent = callsOf(audioMasterAutomate, tags[i]);
        ASSERT_EQ(sent.size(), 1u) << "parameter " << tags[i];
        EXPECT_EQ(sent[0].value, stored[i]);
    }
    EXPECT_EQ(callsOf(audioMasterAutomate).size(), 8u);
}

TEST_F(EditorTest, KnobDragIsOneGestureWithAnAutomationPerChange)
{
    openEditor();
    effect->getAeffect()->setParameter(effect->getAeffect(), param::kAbsorb, 0.5f);
    idle();
    EXPECT_EQ(displayText(editor->getValueDisplay(param::kAbsorb)), "8.75%"); // 0.7 * 0.5^3
    calls.clear();

    // 20 pixels right in four steps, 200 pixels per full range: +0.1.
    drag(centre(param::kAbsorb), centre(param::kAbsorb).offset(20, 0), 4);
    EXPECT_EQ(gestureOpcodes(),
              (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterAutomate,
                                     audioMasterAutomate, audioMasterAutomate, audioMasterEndEdit}));
    const auto sent = callsOf(audioMasterAutomate, param::kAbsorb);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_NEAR(sent[0].value, 0.525f, 1e-6f);
    EXPECT_NEAR(sent[3].value, 0.6f, 1e-6f);
    EXPECT_EQ(callsOf(audioMasterBeginEdit, param::kAbsorb).size(), 1u);
    EXPECT_EQ(callsOf(audioMasterEndEdit, param::kAbsorb).size(), 1u);
    // The program stores the knob's value; the display shows the engine's
    // wall absorption 0.7 * 0.6^3 = 15.12%.
    EXPECT_EQ(program().parAbsorb, control(param::kAbsorb));
    EXPECT_EQ(displayText(editor->getValueDisplay(param::kAbsorb)), "15.12%");
}

TEST_F(EditorTest, HeadAngleKnobWrapsAndReportsItsPositions)
{
    openEditor();
    effect->getAeffect()->setParameter(effect->getAeffect(), param::kHeadAngle, 0.75f);
    calls.clear();
    // 100 pixels: half a turn, 0.75 -> 1.25 -> 0.25.
    drag(centre(param::kHeadAngle), centre(param::kHeadAngle).offset(100, 0), 10);
    EXPECT_EQ(control(param::kHeadAngle), 0.25f);
    EXPECT_EQ(program().parHeadAngle, 0.25f);
    // trunc(360 * 0.25) - 180 = -90, shown as 270 degrees.
    EXPECT_EQ(displayText(editor->getValueDisplay(param::kHeadAngle)), "270");
    EXPECT_FALSE(callsOf(audioMasterAutomate, param::kHeadAngle).empty());
    EXPECT_EQ(callsOf(audioMasterBeginEdit, param::kHeadAngle).size(), 1u);
}

TEST_F(EditorTest, SliderDragMovesTheBend)
{
    openEditor();
    effect->getAeffect()->setParameter(effect->getAeffect(), param::kBend, 0.0f);
    idle();
    calls.clear();
    // The handle's left edge travels 133 pixels (438..571); grab it and
    // move it 20 pixels.
    drag(CPoint(441, 520), CPoint(461, 520), 5);
    EXPECT_NEAR(effect->getParameter(param::kBend), 20.0f / 133.0f, 1e-5f);
    EXPECT_FALSE(callsOf(audioMasterAutomate, param::kBend).empty());
    EXPECT_EQ(callsOf(audioMasterEndEdit, param::kBend).size(), 1u);
}

TEST_F(EditorTest, SwitchesAndPinsChangeTheirParameterWithoutAutomation)
{
    openEditor();
    const float stereo = effect->getParameter(param::kStereoOnOff);
    const float reverse = effect->getParameter(param::kReverseOnOff);
    calls.clear();
    click(centre(param::kStereoOnOff));
    click(centre(param::kReverseOnOff));
    EXPECT_EQ(effect->getParameter(param::kStereoOnOff), stereo > 0.5f ? 0.0f : 1.0f);
    EXPECT_EQ(effect->getParameter(param::kReverseOnOff), reverse > 0.5f ? 0.0f : 1.0f);
    EXPECT_EQ(engine().derived().reverseOn, reverse > 0.5f ? 0 : 1);

    // Output pin 2 (the R role) to the host's channel 0: open the list,
    // pick its first entry.
    click(centre(param::kSpeakerOut1 + 1));
    auto* popup = dynamic_cast<COptionMenuPopup*>(editor->getFrame()->getModalView());
    ASSERT_NE(popup, nullptr);
    const CRect first = popup->entryRect(0);
    click(CPoint(first.left + 5, (first.top + first.bottom) / 2));
    EXPECT_EQ(effect->getParameter(param::kSpeakerOut1 + 1), 0.0f);
    EXPECT_EQ(engine().derived().outputChannel[1], 0);
    EXPECT_TRUE(callsOf(audioMasterAutomate).empty());
}

TEST_F(EditorTest, ViewButtonsExcludeEachOther)
{
    openEditor();
    OVAnimScreen* screen = editor->getMainScreen();
    click(centre(param::k3DView));
    EXPECT_EQ(screen->requestedMode.load(), k3DMode);
    click(centre(param::kEQView));
    EXPECT_EQ(control(param::k3DView), 0.0f);
    EXPECT_EQ(control(param::kEQView), 1.0f);
    EXPECT_EQ(screen->requestedMode.load(), kEQMode);
    click(centre(param::kExportPage));
    EXPECT_EQ(control(param::kEQView), 0.0f);
    EXPECT_EQ(screen->requestedMode.load(), kExportMode);
    click(centre(param::k3DView));
    EXPECT_EQ(control(param::kExportPage), 0.0f);
    EXPECT_EQ(screen->requestedMode.load(), k3DMode);
    // Releasing the view that is on shows the edit view.
    click(centre(param::k3DView));
    EXPECT_EQ(control(param::k3DView), 0.0f);
    EXPECT_EQ(screen->requestedMode.load(), kEditMode);
    EXPECT_TRUE(callsOf(audioMasterAutomate, param::k3DView).empty());
}

TEST_F(EditorTest, DrawingToolsAreOneOfThree)
{
    openEditor();
    OVAnimScreen* screen = editor->getMainScreen();
    click(centre(param::kToolLines)); // already on: stays on
    EXPECT_EQ(control(param::kToolLines), 1.0f);
    EXPECT_EQ(screen->tool.load(), kLinesTool);
    click(centre(param::kToolBoxes));
    EXPECT_EQ(control(param::kToolLines), 0.0f);
    EXPECT_EQ(control(param::kToolBoxes), 1.0f);
    EXPECT_EQ(screen->tool.load(), kBoxesTool);
    click(centre(param::kToolEdit));
    EXPECT_EQ(control(param::kToolBoxes), 0.0f);
    EXPECT_EQ(control(param::kToolEdit), 1.0f);
    EXPECT_EQ(screen->tool.load(), kEditTool);
    // No gesture reaches the host for the editor's own buttons.
    EXPECT_TRUE(callsOf(audioMasterBeginEdit, param::kToolEdit).empty());
}

TEST_F(EditorTest, MirrorIsStoredAndClearEmptiesTheRoom)
{
    openEditor();
    ASSERT_GT(RoomEngineTestAccess::wallCount(engine()), 0);
    click(centre(param::kMirror));
    EXPECT_EQ(effect->getParameter(param::kMirror), 1.0f);
    click(centre(param::kClear));
    EXPECT_EQ(RoomEngineTestAccess::wallCount(engine()), 0);
    EXPECT_EQ(program().wallCount, 0);
    EXPECT_EQ(control(param::kClear), 0.0f); // the kick button is up again
}

TEST_F(EditorTest, ProgramArrowsStepOnReleaseAndWrap)
{
    openEditor();
    ASSERT_EQ(effect->getProgram(), 0);
    const auto* menu = dynamic_cast<const COptionMenu*>(editor->getControl(param::kProgramSelect));
    // Held down, the arrow does not step yet.
    window->pressAt(centre(param::kProgramNext), kLButton);
    window->holdAt(centre(param::kProgramNext), kLButton);
    window->holdAt(centre(param::kProgramNext), kLButton);
    window->releaseAt(centre(param::kProgramNext));
    idle();
    EXPECT_EQ(effect->getProgram(), 1);
    EXPECT_EQ(menu->getCurrent(), 1);
    click(centre(param::kProgramPrevious));
    click(centre(param::kProgramPrevious));
    EXPECT_EQ(effect->getProgram(), 44);
    EXPECT_EQ(menu->getCurrent(), 44);
    click(centre(param::kProgramNext));
    EXPECT_EQ(effect->getProgram(), 0);
    // The controls show the new program's values.
    EXPECT_EQ(control(param::kAbsorb), program().parAbsorb);
}

TEST_F(EditorTest, ProgramMenuSelectsAProgramAndTellsTheHost)
{
    openEditor();
    calls.clear();
    click(centre(param::kProgramSelect));
    auto* popup = dynamic_cast<COptionMenuPopup*>(editor->getFrame()->getModalView());
    ASSERT_NE(popup, nullptr);
    const CRect entry = popup->entryRect(7);
    click(CPoint(entry.left + 20, (entry.top + entry.bottom) / 2));
    EXPECT_EQ(effect->getProgram(), 7);
    const auto sent = callsOf(audioMasterAutomate, param::kProgramSelect);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].value, 7.0f);
    EXPECT_EQ(control(param::kEarsX), engine().programBank().programs[7].parEarsX);
}

TEST_F(EditorTest, OutputsSelectorCyclesTheOutputsAndRefillsThePinMenus)
{
    openEditor();
    effect->getAeffect()->setParameter(effect->getAeffect(), param::kSurround, 0.0f);
    idle();
    const std::vector<std::string> none;
    EXPECT_EQ(entries(editor->getControl(39)), (std::vector<std::string>{"L", "R"}));
    EXPECT_EQ(entries(editor->getControl(41)), none);
    EXPECT_EQ(entries(editor->getControl(37)), (std::vector<std::string>{"L", "R"}));

    click(centre(param::kSurround));
    idle();
    EXPECT_EQ(effect->getParameter(param::kSurround), 1.0f);
    EXPECT_EQ(engine().derived().outputCount, 4);
    const std::vector<std::string> four{"L", "R", "3", "4"};
    for (int role = 0; role < 4; ++role)
        EXPECT_EQ(entries(editor->getControl(39 + role)), four) << "role " << role;
    EXPECT_EQ(entries(editor->getControl(43)), none);
    // Each role goes to the channel of its own speaker.
    for (int role = 0; role < 4; ++role)
        EXPECT_EQ(control(39 + role), static_cast<float>(role));

    click(centre(param::kSurround));
    idle();
    EXPECT_EQ(engine().derived().outputCount, 5);
    EXPECT_EQ(entries(editor->getControl(43)).size(), 5u);
    click(centre(param::kSurround));
    idle();
    EXPECT_EQ(effect->getParameter(param::kSurround), 0.0f);
    EXPECT_EQ(engine().derived().outputCount, 2);
    EXPECT_TRUE(callsOf(audioMasterAutomate, param::kSurround).empty());
}

TEST_F(EditorTest, HelpButtonTogglesTheHelpPages)
{
    openEditor();
    OVAnimScreen* screen = editor->getMainScreen();
    screen->helpPage = 3;
    click(centre(param::kHelp));
    EXPECT_TRUE(editor->helpShown());
    EXPECT_TRUE(screen->helpVisible.load());
    EXPECT_EQ(screen->helpPage.load(), 0); // always opens on the first page
    EXPECT_EQ(control(param::kHelp), 1.0f);
    click(centre(param::kHelp));
    EXPECT_FALSE(editor->helpShown());
    EXPECT_FALSE(screen->helpVisible.load());
    EXPECT_EQ(control(param::kHelp), 0.0f);
}

} // namespace ovinta
