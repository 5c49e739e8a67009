// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in library as a host sees it: loading, the effect record, the
// identity answers, capabilities, pins and hostile pointers.

#include "tests/plugin/PluginFixture.h"

#ifdef _WIN32
// The loader's calls under the names the test uses; the DLL stays loaded,
// as VstHost keeps it.
#include <windef.h>
#include <winbase.h>
namespace {
constexpr int RTLD_NOW = 0;
constexpr int RTLD_LOCAL = 0;
void* dlopen(const char* path, int) { return reinterpret_cast<void*>(LoadLibraryA(path)); }
void* dlsym(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
const char* dlerror() { return "LoadLibrary failed"; }
int dlclose(void*) { return 0; }
} // namespace
#else
#include <dlfcn.h>
#endif

#include <cmath>
#include <cstdint>

namespace ovinta {

namespace {
// Host callbacks the plug-in must never make (it keeps numOutputs fixed and
// takes no MIDI or transport information).
const VstInt32 kUnwantedCallbacks[] = {audioMasterWantMidi, audioMasterGetTime,
                                       audioMasterIOChanged, audioMasterUpdateDisplay};
} // namespace

// ---- Loading --------------------------------------------------------------------

TEST(PluginEntry, HostThatAnswersVersionZeroGetsNoEffect)
{
    VstHost host;
    host.setVersionAnswer(0);
    std::string error;
    EXPECT_FALSE(host.load(OVINTA_PLUGIN_PATH, error));
    EXPECT_EQ(host.effect(), nullptr);
    // The only question asked was the version, without an effect record.
    std::vector<HostCall> calls = host.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_FALSE(calls[0].withEffect);
}

TEST(PluginEntry, AsksTheVersionOnceThenMakesNoUnwantedCallbacks)
{
    VstHost host;
    std::string error;
    ASSERT_TRUE(host.load(OVINTA_PLUGIN_PATH, error)) << error;
    std::vector<HostCall> calls = host.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_FALSE(calls[0].withEffect);
    EXPECT_EQ(host.countCalls(audioMasterVersion), 1);

    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    for (VstInt32 opcode : kUnwantedCallbacks)
        EXPECT_EQ(host.countCalls(opcode), 0) << "host opcode " << opcode;
}

TEST(PluginEntry, MainIsTheSameFunctionAsVSTPluginMain)
{
    void* library = dlopen(OVINTA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    void* entry = dlsym(library, "VSTPluginMain");
    void* alias = dlsym(library, "main");
    EXPECT_NE(entry, nullptr);
    EXPECT_EQ(entry, alias);
    // A null host callback is refused rather than called.
    EXPECT_EQ(reinterpret_cast<VstEntryProc>(entry)(nullptr), nullptr);
    dlclose(library);
}

TEST(PluginEntry, TwoInstancesKeepTheirOwnState)
{
    VstHost first, second;
    std::string error;
    ASSERT_TRUE(first.load(OVINTA_PLUGIN_PATH, error)) << error;
    ASSERT_TRUE(second.load(OVINTA_PLUGIN_PATH, error)) << error;
    EXPECT_NE(first.effect(), second.effect());
    first.dispatch(effSetProgram, 0, 7);
    first.setParameter(0, 0.25f);
    EXPECT_EQ(second.dispatch(effGetProgram), 0);
    EXPECT_EQ(first.dispatch(effGetProgram), 7);
    EXPECT_NE(second.getParameter(0), 0.25f);
}

// ---- The effect record -------------------------------------------------------------

TEST_F(PluginTest, RecordHoldsTheAnnouncedShape)
{
    const AEffect& e = *host.effect();
    EXPECT_EQ(e.magic, 0x56737450);
    EXPECT_EQ(e.numPrograms, 45);
    EXPECT_EQ(e.numParams, 47);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 6);
    EXPECT_EQ(e.flags, 0x31); // editor, replacing, program chunks
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.realQualities, 0);
    EXPECT_EQ(e.offQualities, 0);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.uniqueID, 0x4F766E74); // 'Ovnt'
    EXPECT_EQ(e.version, 1);
    EXPECT_NE(e.object, nullptr);
    EXPECT_NE(e.dispatcher, nullptr);
    EXPECT_NE(e.setParameter, nullptr);
    EXPECT_NE(e.getParameter, nullptr);
    EXPECT_NE(e.processReplacing, nullptr);
}

TEST_F(PluginTest, AccumulatingAndDoubleProcessCallsLeaveTheOutputsAlone)
{
    constexpr int kFrames = 64;
    std::vector<float> in(kFrames, 0.5f), out(kFrames, 0.25f);
    std::vector<float*> inputs(2, in.data()), outputs(6, out.data());
    host.process(inputs.data(), outputs.data(), kFrames);
    for (float sample : out)
        ASSERT_EQ(sample, 0.25f);

    std::vector<double> inD(kFrames, 0.5), outD(kFrames, 0.25);
    std::vector<double*> inputsD(2, inD.data()), outputsD(6, outD.data());
    host.processDoubleReplacing(inputsD.data(), outputsD.data(), kFrames);
    for (double sample : outD)
        ASSERT_EQ(sample, 0.25);
}

// ---- Identity ------------------------------------------------------------------------

TEST_F(PluginTest, IdentityAnswers)
{
    EXPECT_EQ(host.text(effGetVendorString, 0, 0, 64), "Fenwardy");
    EXPECT_EQ(host.text(effGetProductString, 0, 0, 64), "Ovinta");
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 2300);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 6);
    EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566); // 'NvEf'
    EXPECT_EQ(host.dispatch(effGetTailSize), 0);
    // Events are taken and ignored.
    VstEvents events{};
    EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, &events), 0);
}

TEST_F(PluginTest, EffectNameIsNotAnswered)
{
    char name[32];
    std::memset(name, '#', sizeof(name));
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, name), 0);
    for (char c : name)
        ASSERT_EQ(c, '#');
}

TEST_F(PluginTest, CapabilitiesAreMatchedExactly)
{
    struct Row {
        const char* question;
        VstIntPtr answer;
    };
    const Row rows[] = {
        {"receiveVstEvents", 1},     {"plugAsChannelInsert", 1}, {"4in8out", 1},
        {"mixDryWet", 1},            {"receiveVstMidiEvent", -1}, {"sendVstEvents", -1},
        {"bypass", -1},              {"ReceiveVstEvents", -1},   {"receiveVstEvents ", -1},
        {"4in8", -1},                {"", -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>(row.question)), row.answer)
            << '"' << row.question << '"';
}

// ---- Pins ------------------------------------------------------------------------------

TEST_F(PluginTest, InputPinsAreTwoStereoInputsNumberedFromOne)
{
    for (int i = 0; i < 2; ++i) {
        VstPinProperties pin{};
        ASSERT_EQ(host.dispatch(effGetInputProperties, i, 0, &pin), 1);
        EXPECT_STREQ(pin.label, i == 0 ? "My 1 In" : "My 2 In");
        EXPECT_EQ(pin.flags, 3);
        EXPECT_EQ(pin.arrangementType, 1);
    }
    for (int index : {2, 3, -1, 1000}) {
        VstPinProperties pin;
        std::memset(&pin, 0x5A, sizeof(pin));
        EXPECT_EQ(host.dispatch(effGetInputProperties, index, 0, &pin), 0);
        const auto* raw = reinterpret_cast<const unsigned char*>(&pin);
        for (std::size_t b = 0; b < sizeof(pin); ++b)
            ASSERT_EQ(raw[b], 0x5A) << "input pin " << index << " byte " << b;
    }
}

TEST_F(PluginTest, OutputPinsDescribeTheSurroundLayout)
{
    struct Row {
        const char* label;
        VstInt32 flags;
    };
    // Active + speaker (5), and stereo (2) on the first of each pair.
    const Row rows[6] = {{"5.1 Out", 7}, {"5.1 Out", 5},     {"Center", 5},
                         {"LFE", 5},     {"Stereo Back", 7}, {"5.1 Out", 5}};
    for (int i = 0; i < 6; ++i) {
        VstPinProperties pin{};
        ASSERT_EQ(host.dispatch(effGetOutputProperties, i, 0, &pin), 1);
        EXPECT_STREQ(pin.label, rows[i].label) << "pin " << i;
        EXPECT_EQ(pin.flags, rows[i].flags) << "pin " << i;
        EXPECT_EQ(pin.arrangementType, 15);
        EXPECT_EQ(pin.shortLabel[0], 0) << "the short label is not filled";
    }
    VstPinProperties pin{};
    EXPECT_EQ(host.dispatch(effGetOutputProperties, 6, 0, &pin), 0);
    EXPECT_EQ(host.dispatch(effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(pin.label[0], 0);
}

TEST_F(PluginTest, OutputPinFlagsAreAddedToTheHostsFlags)
{
    VstPinProperties pin{};
    pin.flags = 0x100;
    ASSERT_EQ(host.dispatch(effGetOutputProperties, 3, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 0x105);
}

// ---- Hostile pointers and editor opcodes without a window ---------------------------------

TEST_F(PluginTest, NullPointersAreAnsweredWithZero)
{
    const VstInt32 pointerOpcodes[] = {
        effSetProgramName,     effGetProgramName,        effGetParamLabel,
        effGetParamDisplay,    effGetParamName,          effEditGetRect,
        effEditOpen,           effGetChunk,              effSetChunk,
        effProcessEvents,      effGetProgramNameIndexed, effGetInputProperties,
        effGetOutputProperties, effSetSpeakerArrangement, effGetEffectName,
        effGetVendorString,    effGetProductString,      effCanDo,
        effGetSpeakerArrangement,
    };
    for (VstInt32 opcode : pointerOpcodes)
        EXPECT_EQ(host.dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    // The instance still works.
    EXPECT_EQ(programName(), "Concert: Elmia Hall");
}

TEST_F(PluginTest, UnhandledOpcodesAnswerZero)
{
    char buffer[256] = {};
    for (VstInt32 opcode : {9, 16, 17, 18, 20, 21, 27, 28, 30, 31, 32, 36, 37, 38, 39, 40, 41, 43,
                            44, 46, 50, 53, 54, 55, 56, 57, 62, 63, 64, 65, 66, 67, 68, 70, 71,
                            72, 73, 74, 75, 76, 77, 78, 79, 80, 1000, -5})
        EXPECT_EQ(host.dispatch(opcode, 0, 0, buffer), 0) << "opcode " << opcode;
}

TEST_F(PluginTest, EditorRectangleIsTheWindowSizeAndANullParentIsRefused)
{
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 704);
    EXPECT_EQ(rect->bottom - rect->top, 560);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, nullptr), 0);
}

TEST_F(PluginTest, HostileSampleRatesAndBlockSizesAreSurvived)
{
    for (float rate : {0.0f, -44100.0f, NAN, INFINITY, 1.0e30f})
        host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    host.dispatch(effSetBlockSize, 0, -1);
    // Past 32 bits where the host's integers are that wide.
    host.dispatch(effSetBlockSize, 0,
                  static_cast<VstIntPtr>(sizeof(VstIntPtr) > 4 ? int64_t{1} << 40 : int64_t{INT32_MAX}));
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(currentProgram(), 3);
}

} // namespace ovinta
