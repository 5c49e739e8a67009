// SPDX-License-Identifier: GPL-3.0-or-later
// EffectVST at the C++ level: what the editor sees (parameter follow, pin
// menus), the output configuration the core runs for it, and the host
// callbacks it makes.

#include "core/EditorFollower.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ovinta {

namespace {
// Host callbacks received, in order (the test host answers version 2400).
struct Callback {
    VstInt32 opcode;
    VstInt32 index;
    float opt;
    std::string text;
};
std::vector<Callback> received;

VstIntPtr testHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt)
{
    received.push_back({opcode, index, opt,
                        opcode == audioMasterCanDo && ptr ? static_cast<const char*>(ptr) : ""});
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterCanDo)
        return std::string(static_cast<const char*>(ptr)) == "openFileSelector" ? 1 : 0;
    return 0;
}

// An editor that records what the effect tells it.
class FakeEditor : public EditorLink, public EditorFollower {
public:
    explicit FakeEditor(bool* destroyedFlag) : destroyed(destroyedFlag) {}
    ~FakeEditor() override { *destroyed = true; }

    bool getRect(ERect** rect) override
    {
        *rect = &area;
        return true;
    }
    bool open(void*) override { return ++opened > 0; }
    void close() override {}
    bool isOpen() const override { return opened > 0; }
    void idle() override { ++idles; }
    bool onKeyDown(int character, int, int modifiers) override
    {
        lastKey = character;
        lastModifiers = modifiers;
        return true;
    }
    bool onKeyUp(int, int, int) override { return false; }
    bool setKnobMode(int mode) override { return mode == 2; }
    void followParameter(int, float) override {}
    void setInputPinMenu(int menu, const char* const* names, int count) override
    {
        inputMenus[menu].assign(names, names + count);
        ++menuUpdates;
    }
    void refreshInputPin(int menu) override { refreshed.push_back(menu); }
    void setOutputPinMenu(int role, const char* const* names, int count) override
    {
        outputMenus[role].assign(names, names + count);
        ++menuUpdates;
    }

    ERect area{0, 0, 560, 704};
    int opened = 0, idles = 0, lastKey = 0, lastModifiers = 0, menuUpdates = 0;
    std::vector<std::string> inputMenus[2], outputMenus[5];
    std::vector<int> refreshed;
    bool* destroyed;
};

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        effect = std::make_unique<EffectVST>(testHost);
        auto owned = std::make_unique<FakeEditor>(&editorDestroyed);
        editor = owned.get();
        effect->attachEditor(std::move(owned));
        effect->getCore().attachEditor(editor);
        received.clear();
    }
    void TearDown() override
    {
        if (effect)
            effect->getCore().attachEditor(nullptr);
    }

    // The editor's idle step of the output configuration.
    void applyOutputConfiguration() { effect->getCore().applyOutputConfiguration(editor); }
    // The changes posted to the editor since the last call, in tag order.
    std::vector<std::pair<int, float>> followed()
    {
        std::vector<std::pair<int, float>> values;
        effect->getCore().parameterMirror().takeChanges(
            [&](int tag, float value) { values.emplace_back(tag, value); });
        return values;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        AEffect* e = effect->getAeffect();
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }

    VstIntPtr offer(VstSpeakerArrangement* input, VstSpeakerArrangement* output)
    {
        return dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input), output);
    }

    RoomEngine& engine() { return effect->getEngine(); }
    int routing(int role) { return static_cast<int>(effect->getParameter(39 + role)); }

    bool editorDestroyed = false;
    std::unique_ptr<EffectVST> effect;
    FakeEditor* editor = nullptr;
};

// A 5.1 output in the usual channel order: L R C Lfe Ls Rs.
VstSpeakerArrangement surround51()
{
    VstSpeakerArrangement a{};
    a.type = kSpeakerArr51;
    a.numChannels = 6;
    const VstInt32 types[6] = {kSpeakerL, kSpeakerR, kSpeakerC, kSpeakerLfe, kSpeakerLs, kSpeakerRs};
    const char* names[6] = {"L", "R", "C", "LFE", "Ls", "Rs"};
    for (int i = 0; i < 6; ++i) {
        a.speakers[i].type = types[i];
        std::strcpy(a.speakers[i].name, names[i]);
    }
    return a;
}

VstSpeakerArrangement stereo(const char* left, const char* right)
{
    VstSpeakerArrangement a{};
    a.type = kSpeakerArrStereo;
    a.numChannels = 2;
    a.speakers[0].type = kSpeakerL;
    a.speakers[1].type = kSpeakerR;
    std::strcpy(a.speakers[0].name, left);
    std::strcpy(a.speakers[1].name, right);
    return a;
}
} // namespace

// ---- Output configuration without host speakers -----------------------------------------

TEST_F(EffectTest, WithoutTheConfigurationStepTwoOutputsAreFed)
{
    // Only the editor's configuration step turns the outputs setting into a count.
    effect->setParameter(45, 2.0f);
    EXPECT_EQ(engine().derived().outputCount.load(), 2);
}

TEST_F(EffectTest, OwnLayoutFollowsTheOutputsSetting)
{
    editor->open(nullptr); // the pin menus are filled for an open window
    struct Row {
        float setting;
        int outputs;
        std::vector<std::string> names;
    };
    const Row rows[] = {
        {0.0f, 2, {"L", "R"}},
        {1.0f, 4, {"L", "R", "3", "4"}},
        {2.0f, 5, {"L", "R", "3", "4", "5"}},
        {-1.0f, 2, {"L", "R"}},
        {1.9f, 4, {"L", "R", "3", "4"}},
    };
    for (const Row& row : rows) {
        effect->setParameter(45, row.setting);
        applyOutputConfiguration();
        EXPECT_EQ(engine().derived().outputCount.load(), row.outputs) << "setting " << row.setting;
        for (int role = 0; role < 5; ++role) {
            std::vector<std::string> expected = role < row.outputs ? row.names
                                                                   : std::vector<std::string>{};
            EXPECT_EQ(editor->outputMenus[role], expected) << "role " << role;
        }
        // Each fed role goes to the channel of its own speaker: 0, 1, 2, 3, 4.
        for (int role = 0; role < row.outputs; ++role)
            EXPECT_EQ(routing(role), role) << "setting " << row.setting;
        EXPECT_EQ(editor->inputMenus[0], (std::vector<std::string>{"L", "R"}));
        EXPECT_EQ(editor->inputMenus[1], (std::vector<std::string>{"L", "R"}));
    }
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    ASSERT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    // The record keeps its 5.1 type while describing four channels.
    EXPECT_EQ(out->type, kSpeakerArr51);
    EXPECT_EQ(out->numChannels, 4);
    EXPECT_EQ(out->speakers[2].type, kSpeakerLs);
    EXPECT_EQ(out->speakers[3].type, kSpeakerRs);
    EXPECT_EQ(in->type, kSpeakerArrStereo);
}

TEST_F(EffectTest, ConfigurationRunsOnlyAfterAChange)
{
    editor->open(nullptr); // the pin menus are filled for an open window
    effect->setParameter(45, 1.0f);
    applyOutputConfiguration();
    int updates = editor->menuUpdates;
    int changes = engine().changeCount();
    applyOutputConfiguration();
    EXPECT_EQ(editor->menuUpdates, updates);
    EXPECT_EQ(engine().changeCount(), changes);

    // Any program change asks for it again.
    effect->setProgram(3);
    applyOutputConfiguration();
    EXPECT_GT(editor->menuUpdates, updates);
}

TEST_F(EffectTest, RoutingOfUnfedRolesIsKept)
{
    effect->setParameter(45, 2.0f);
    applyOutputConfiguration();
    effect->setParameter(43, 3.0f); // C role moved by hand to channel 3
    effect->setParameter(45, 1.0f);
    applyOutputConfiguration();
    EXPECT_EQ(engine().derived().outputCount.load(), 4);
    EXPECT_EQ(routing(4), 3);
}

// ---- Output configuration with host speakers ----------------------------------------------

TEST_F(EffectTest, SurroundOutputCountFollowsTheSetting)
{
    VstSpeakerArrangement input = stereo("In L", "In R");
    VstSpeakerArrangement output = surround51();
    ASSERT_EQ(offer(&input, &output), 1);
    // With no editor window open the configuration is applied at once: the
    // outputs setting (stereo) holds the six host channels to two.
    EXPECT_EQ(engine().derived().outputCount.load(), 2);

    editor->open(nullptr); // from here the editor's idle applies it, menus too
    const std::pair<float, int> rows[] = {{2.0f, 6}, {1.0f, 4}, {0.0f, 2}};
    for (auto [setting, outputs] : rows) {
        effect->setParameter(45, setting);
        applyOutputConfiguration();
        EXPECT_EQ(engine().derived().outputCount.load(), outputs) << "setting " << setting;
    }
    // With five outputs the roles find their speakers: L 0, R 1, Ls 4, Rs 5, C 2.
    effect->setParameter(45, 2.0f);
    applyOutputConfiguration();
    const int expected[5] = {0, 1, 4, 5, 2};
    for (int role = 0; role < 5; ++role)
        EXPECT_EQ(routing(role), expected[role]) << "role " << role;
    EXPECT_EQ(editor->outputMenus[0],
              (std::vector<std::string>{"L", "R", "C", "LFE", "Ls", "Rs"}));
    EXPECT_EQ(editor->inputMenus[1], (std::vector<std::string>{"In L", "In R"}));
    EXPECT_EQ(effect->getAeffect()->numOutputs, 6);
}

// A host thread's change is applied at once while the window is closed, but
// only the editor's own thread fills the menus: the window may open while the
// host thread runs. Its first run then fills them with nothing new requested.
TEST_F(EffectTest, OnlyTheEditorsThreadFillsThePinMenus)
{
    AEffect* e = effect->getAeffect();
    e->setParameter(e, 45, 1.0f); // automation: applied on the calling thread
    EXPECT_EQ(engine().derived().outputCount.load(), 4);
    EXPECT_EQ(editor->menuUpdates, 0);
    applyOutputConfiguration(); // an idle with the window still closed
    EXPECT_EQ(editor->menuUpdates, 0);
    editor->open(nullptr);
    applyOutputConfiguration();
    EXPECT_EQ(editor->outputMenus[3], (std::vector<std::string>{"L", "R", "3", "4"}));
    EXPECT_TRUE(editor->outputMenus[4].empty());
}

TEST_F(EffectTest, MonoInputFillsOnlyTheFirstSourceMenu)
{
    editor->open(nullptr); // the pin menus are filled for an open window
    VstSpeakerArrangement input{};
    input.type = kSpeakerArrMono;
    input.numChannels = 1;
    input.speakers[0].type = kSpeakerM;
    std::strcpy(input.speakers[0].name, "Mono");
    VstSpeakerArrangement output = stereo("", "Right"); // an unnamed channel is left out
    ASSERT_EQ(offer(&input, &output), 1);
    applyOutputConfiguration();
    EXPECT_EQ(editor->inputMenus[0], (std::vector<std::string>{"Mono"}));
    EXPECT_TRUE(editor->inputMenus[1].empty());
    EXPECT_EQ(editor->refreshed, (std::vector<int>{0}));
    EXPECT_EQ(editor->outputMenus[0], (std::vector<std::string>{"Right"}));
    EXPECT_EQ(engine().derived().inputChannelCount.load(), 1);
}

TEST_F(EffectTest, UnterminatedSpeakerNamesAreCutAtTheirField)
{
    editor->open(nullptr); // the pin menus are filled for an open window
    VstSpeakerArrangement input = stereo("a", "b");
    VstSpeakerArrangement output = stereo("x", "y");
    std::memset(output.speakers[0].name, 'N', sizeof(output.speakers[0].name));
    ASSERT_EQ(offer(&input, &output), 1);
    applyOutputConfiguration();
    ASSERT_EQ(editor->outputMenus[0].size(), 2u);
    EXPECT_EQ(editor->outputMenus[0][0], std::string(63, 'N'));
}

// ---- Parameters reach the editor ----------------------------------------------------------

TEST_F(EffectTest, EditorFollowsHostChangesButNotBadValues)
{
    AEffect* e = effect->getAeffect();
    // The pin settings of the first output configuration are not what this is about.
    applyOutputConfiguration();
    followed();
    e->setParameter(e, 7, 0.25f);
    e->setParameter(e, 7, NAN);
    e->setParameter(e, -3, 0.5f);
    const auto values = followed();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0], std::make_pair(7, 0.25f));
}

TEST_F(EffectTest, ProgramChangeReachesTheEditorWithEveryFieldAndItsNumber)
{
    followed();
    effect->setProgram(12);
    const auto values = followed();
    // Every stored field once, with the value the program stores, and the
    // program number.
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kHostParameterCount));
    const OvintaProgram& record = engine().programBank().programs[12];
    for (int index = 0; index < kStoredParameterCount; ++index)
        EXPECT_EQ(values[index], std::make_pair(index, *programField(record, index))) << index;
    EXPECT_EQ(values.back(), std::make_pair(46, 12.0f));
}

TEST_F(EffectTest, StepButtonsTellTheEditorTheNewProgram)
{
    followed();
    effect->setParameter(68, 0.0f);
    const auto values = followed();
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values[values.size() - 2], std::make_pair(46, 1.0f));
    EXPECT_EQ(values.back(), std::make_pair(68, 0.0f));
    EXPECT_EQ(effect->getProgram(), 1);
}

// ---- Host callbacks ---------------------------------------------------------------------------

TEST_F(EffectTest, AutomationSetsTheValueThenTellsTheHost)
{
    effect->setParameterAutomated(21, 0.625f);
    EXPECT_EQ(effect->getParameter(21), 0.625f);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].opcode, audioMasterAutomate);
    EXPECT_EQ(received[0].index, 21);
    EXPECT_EQ(received[0].opt, 0.625f);
}

TEST_F(EffectTest, GestureAndCapabilityQuestionsGoToTheHost)
{
    effect->beginEdit(14);
    effect->endEdit(14);
    EXPECT_EQ(effect->canHostDo("openFileSelector"), 1);
    EXPECT_EQ(effect->canHostDo("closeFileSelector"), 0);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(received[0].index, 14);
    EXPECT_EQ(received[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(received[2].text, "openFileSelector");
    EXPECT_EQ(received[3].opcode, audioMasterCanDo);
}

TEST_F(EffectTest, ResumeNeverAsksForMidi)
{
    dispatch(effMainsChanged, 0, 1);
    dispatch(effMainsChanged, 0, 0);
    for (const Callback& c : received)
        EXPECT_NE(c.opcode, audioMasterWantMidi);
}

// ---- Sample rate, editor opcodes and lifetime ----------------------------------------------------

TEST_F(EffectTest, SampleRateReachesTheEngineAtResume)
{
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(engine().derived().sampleRate.load(), 44100.0f);
    dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(engine().derived().sampleRate.load(), 48000.0f);
    dispatch(effSetSampleRate, 0, 0, nullptr, NAN);
    dispatch(effSetSampleRate, 0, 0, nullptr, -1.0f);
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(engine().derived().sampleRate.load(), 48000.0f);
}

TEST_F(EffectTest, EditorOpcodesReachTheAttachedEditor)
{
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 704);
    EXPECT_EQ(rect->bottom - rect->top, 560);
    int parent = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(dispatch(effEditIdle), 1);
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(dispatch(effEditKeyDown, 'q', 0, nullptr, 9.0f), 1);
    EXPECT_EQ(editor->lastKey, 'q');
    EXPECT_EQ(editor->lastModifiers, 9); // shift + control
    EXPECT_EQ(dispatch(effEditKeyUp, 'q'), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(dispatch(effEditClose), 1);
    EXPECT_EQ(effect->getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST_F(EffectTest, CloseDestroysTheEffectAndItsEditor)
{
    EffectVST* raw = effect.release();
    AEffect* e = raw->getAeffect();
    EXPECT_FALSE(editorDestroyed);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(editorDestroyed);
}

} // namespace ovinta
