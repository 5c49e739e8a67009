// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's idle cycle: tracing while the host sends no audio, its 40 ms
// timing, and the deferred impulse-response export.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/screens/OVAnimScreen.h"
#include "model/Parameters.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace ovinta {

namespace {

// The posted flags show that idle traced. The impulse screen takes them when
// it draws, so these tests keep it hidden.
void hideImpulseScreen(OvintaEditor& editor)
{
    editor.getControl(param::kImpulseScreen)->setVisible(false);
}

int postedSlots(RoomEngine& engine)
{
    int count = 0;
    for (RaySlot& slot : engine.raySlots()) {
        count += slot.posted != 0 ? 1 : 0;
        slot.posted = 0;
    }
    return count;
}

} // namespace

TEST_F(EditorTest, IdleTracesWhileNoAudioRunsAtMostEvery40ms)
{
    openEditor();
    hideImpulseScreen(*editor);
    idle(2); // the first timed step only notes the audio's tick
    effect->setParameter(param::kAbsorb, 0.123f); // every ray retraces
    postedSlots(engine());

    // Calls closer together than 40 ms do no timed work.
    idle(3, 10);
    EXPECT_EQ(postedSlots(engine()), 0);
    // The next due step traces 32 units; rays reach the listener and post.
    idle(1, 10);
    EXPECT_GT(postedSlots(engine()), 0);
    idle(1, 40);
    EXPECT_GT(postedSlots(engine()), 0);
}

TEST_F(EditorTest, IdleLeavesTracingToTheAudioWhileBlocksRun)
{
    openEditor();
    hideImpulseScreen(*editor);
    effect->setParameter(param::kAbsorb, 0.321f);
    postedSlots(engine());
    for (int step = 0; step < 5; ++step) {
        // An audio block ran since the last timed step.
        RoomEngineTestAccess::values(engine()).processTick = engine().derived().processTick + 1;
        idle(1, 40);
    }
    EXPECT_EQ(postedSlots(engine()), 0);
}

TEST_F(EditorTest, AClockGoingBackCountsAsADueStep)
{
    openEditor();
    hideImpulseScreen(*editor);
    idle(1, 40); // notes the audio's tick
    effect->setParameter(param::kAbsorb, 0.7f);
    postedSlots(engine());
    // The tick count jumps back (wrapped or reset): the step is due at once.
    ticks -= 5000;
    idle(1, 0);
    EXPECT_GT(postedSlots(engine()), 0);
}

TEST_F(EditorTest, DeferredExportRunsOnTheFourthIdleAndLeavesTheExportPage)
{
    openEditor();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ovinta-editor-export-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ExportRequest& choice = editor->exportRequest();
    choice.format = 0; // 16-bit WAV
    choice.sampleRate = 44100.0f;
    choice.normalise = 1;
    choice.path = (folder / "room.wav").string();

    click(centre(param::kExportPage));
    ASSERT_EQ(editor->getMainScreen()->requestedMode.load(), kExportMode);
    engine().editorSignals().exportCountdown = 1; // SAVE pressed with a file chosen
    idle(2, 1);
    EXPECT_EQ(engine().editorSignals().exportCountdown, 3);
    EXPECT_FALSE(std::filesystem::exists(folder / "room1.wav"));
    idle(1, 1);
    EXPECT_EQ(engine().editorSignals().exportCountdown, 0);
    // One file per fed output (two here), each a WAV file with samples.
    for (const char* name : {"room1.wav", "room2.wav"}) {
        const std::filesystem::path file = folder / name;
        ASSERT_TRUE(std::filesystem::exists(file)) << name;
        EXPECT_GT(std::filesystem::file_size(file), 44u + 2u) << name;
        std::ifstream in(file, std::ios::binary);
        char riff[4] = {};
        in.read(riff, 4);
        EXPECT_EQ(std::string(riff, 4), "RIFF");
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "room3.wav"));
    EXPECT_EQ(control(param::kExportPage), 0.0f);
    EXPECT_EQ(editor->getMainScreen()->requestedMode.load(), kEditMode);
    std::filesystem::remove_all(folder);
}

TEST_F(EditorTest, HelpPagesStopTheMainScreensTimedRedraw)
{
    openEditor();
    idle(1, 40);
    ASSERT_GT(RoomEngineTestAccess::wallCount(engine()), 0);
    // The middle of the first wall, in frame pixels (8 per metre, +4 to the
    // grid point, +8 to the screen's corner).
    const Wall& w = RoomEngineTestAccess::walls(engine())[0];
    const CPoint middle(8 + 4 + 4 * static_cast<int>(w.x1 + w.x2), 8 + 4 + 4 * static_cast<int>(w.y1 + w.y2));
    const CColor wall{255, 225, 150, 255}; // the wall's inner line
    ASSERT_EQ(window->getPixel(middle.h, middle.v), wall);

    click(centre(param::kHelp));
    engine().setActiveWalls(nullptr, 0);
    idle(3, 40);
    // The help pages cover the room.
    EXPECT_NE(window->getPixel(middle.h, middle.v), wall);
    click(centre(param::kHelp));
    idle(1, 40);
    EXPECT_NE(window->getPixel(middle.h, middle.v), wall);
}

} // namespace ovinta
