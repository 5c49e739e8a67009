// SPDX-License-Identifier: GPL-3.0-or-later
// Speaker arrangements through the binary interface.

#include "tests/plugin/PluginFixture.h"

namespace ovinta {

namespace {
struct Arrangements {
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
};

Arrangements current(VstHost& host)
{
    Arrangements a;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&a.input),
                            &a.output),
              1);
    return a;
}

VstIntPtr offer(VstHost& host, HostArrangement& input, HostArrangement& output)
{
    return host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input.get()),
                         output.get());
}

HostArrangement surround51()
{
    HostArrangement a(15, 6);
    const VstInt32 types[6] = {1, 2, 3, 4, 5, 6}; // L R C Lfe Ls Rs
    const char* names[6] = {"Left", "Right", "Centre", "LFE", "Left Surround", "Right Surround"};
    for (int i = 0; i < 6; ++i)
        a.speaker(i, types[i], names[i]);
    return a;
}
} // namespace

TEST_F(PluginTest, OwnArrangementsBeforeTheHostDescribesItsSpeakers)
{
    Arrangements a = current(host);
    ASSERT_NE(a.input, nullptr);
    ASSERT_NE(a.output, nullptr);
    EXPECT_EQ(a.input->type, 1);
    EXPECT_EQ(a.input->numChannels, 2);
    EXPECT_EQ(a.output->type, 15);
    EXPECT_EQ(a.output->numChannels, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a.output->speakers[i].type, 0) << "speaker " << i;
        EXPECT_EQ(a.output->speakers[i].name[0], 0) << "speaker " << i;
    }
}

TEST_F(PluginTest, HostArrangementsAreCopiedWhole)
{
    HostArrangement input(1, 2);
    input.speaker(0, 1, "In L");
    input.speaker(1, 2, "In R");
    HostArrangement output = surround51();
    EXPECT_EQ(offer(host, input, output), 1);

    Arrangements a = current(host);
    EXPECT_NE(a.output, output.get()) << "the plug-in keeps its own copy";
    EXPECT_EQ(a.input->numChannels, 2);
    EXPECT_STREQ(a.input->speakers[1].name, "In R");
    EXPECT_EQ(a.output->type, 15);
    EXPECT_EQ(a.output->numChannels, 6);
    EXPECT_EQ(a.output->speakers[4].type, 5);
    EXPECT_STREQ(a.output->speakers[5].name, "Right Surround");
    EXPECT_EQ(host.effect()->numOutputs, 6);
}

TEST_F(PluginTest, EightChannelInputIsRefusedWithASurroundInputInItsPlace)
{
    HostArrangement input(-2, 8);
    for (int i = 0; i < 8; ++i)
        input.speaker(i, 1, "in");
    HostArrangement output(1, 2);
    output.speaker(0, 1, "Out L");
    output.speaker(1, 2, "Out R");
    EXPECT_EQ(offer(host, input, output), 0);

    Arrangements a = current(host);
    EXPECT_EQ(a.input->type, 15);
    EXPECT_EQ(a.input->numChannels, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a.input->speakers[i].type, 0);
        EXPECT_EQ(a.input->speakers[i].name[0], 0);
    }
    // The output arrangement is still taken.
    EXPECT_EQ(a.output->numChannels, 2);
    EXPECT_STREQ(a.output->speakers[0].name, "Out L");
    EXPECT_EQ(host.effect()->numOutputs, 6);
}

TEST_F(PluginTest, OversizeOutputArrangementIsHeldInFull)
{
    // More channels than the plug-in's record was made for, and more than the
    // declared eight: every speaker must arrive intact.
    constexpr int kChannels = 24;
    HostArrangement input(1, 2);
    HostArrangement output(-2, kChannels);
    for (int i = 0; i < kChannels; ++i) {
        std::string name = "Speaker " + std::to_string(i);
        output.speaker(i, 1 + i % 11, name.c_str());
    }
    EXPECT_EQ(offer(host, input, output), 1);
    Arrangements a = current(host);
    ASSERT_EQ(a.output->numChannels, kChannels);
    for (int i = 0; i < kChannels; ++i) {
        EXPECT_EQ(a.output->speakers[i].type, 1 + i % 11);
        EXPECT_EQ(std::string(a.output->speakers[i].name), "Speaker " + std::to_string(i));
    }
    EXPECT_EQ(host.effect()->numOutputs, 6);
}

TEST_F(PluginTest, UnusableArrangementsChangeNothing)
{
    HostArrangement input(1, 2);
    HostArrangement output = surround51();
    ASSERT_EQ(offer(host, input, output), 1);

    struct Row {
        int inputChannels;
        int outputChannels;
    };
    const Row rows[] = {{-1, 2}, {2, -1}, {0, 2}, {2, 0}, {2, 100000}, {100000, 2}};
    for (const Row& row : rows) {
        // A plug-in that believed the count would read far past these records.
        HostArrangement in(1, 0), out(1, 0);
        in.get()->numChannels = row.inputChannels;
        out.get()->numChannels = row.outputChannels;
        EXPECT_EQ(offer(host, in, out), 0) << row.inputChannels << " in, " << row.outputChannels
                                          << " out";
    }
    HostArrangement valid(1, 2);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(valid.get()),
                            nullptr),
              0);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, valid.get()), 0);

    Arrangements a = current(host);
    EXPECT_EQ(a.output->numChannels, 6);
    EXPECT_STREQ(a.output->speakers[2].name, "Centre");
    EXPECT_EQ(a.input->numChannels, 2);
}

TEST_F(PluginTest, MonoInputForcesOneSource)
{
    HostArrangement input(0, 1);
    input.speaker(0, 0, "Mono");
    HostArrangement output(1, 2);
    ASSERT_EQ(offer(host, input, output), 1);
    host.setParameter(23, 1.0f);
    EXPECT_EQ(host.getParameter(23), 0.0f);

    // A program stored with two sources is applied with one, and the record
    // keeps what was applied.
    std::vector<unsigned char> record = chunk(true);
    putFloat(record, 0, 1.0f); // parStereoOnOff
    ASSERT_EQ(host.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(record.size()), record.data()), 1);
    EXPECT_EQ(host.getParameter(23), 0.0f);
    EXPECT_EQ(floatAt(chunk(true), 0), 0.0f);
}

} // namespace ovinta
