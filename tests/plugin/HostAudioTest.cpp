// SPDX-License-Identifier: GPL-3.0-or-later
// Audio through the binary interface: two input and six output buffers, as a
// host passes them.

#include "tests/plugin/PluginFixture.h"

#include <cmath>
#include <thread>

namespace ovinta {

namespace {
constexpr int kFrames = 512;

class HostBuffers {
public:
    HostBuffers() : in(2 * kFrames, 0.0f), out(6 * kFrames, 0.0f)
    {
        for (int c = 0; c < 2; ++c)
            inputs[c] = in.data() + c * kFrames;
        for (int c = 0; c < 6; ++c)
            outputs[c] = out.data() + c * kFrames;
    }
    void process(VstHost& host) { host.processReplacing(inputs, outputs, kFrames); }
    // Sum of squares of one output channel's last block.
    double energy(int channel) const
    {
        double sum = 0.0;
        for (int i = 0; i < kFrames; ++i) {
            double s = static_cast<double>(outputs[channel][i]);
            sum += s * s;
        }
        return sum;
    }
    bool allFinite() const
    {
        for (float s : out)
            if (!std::isfinite(s))
                return false;
        return true;
    }

    std::vector<float> in, out;
    float* inputs[2];
    float* outputs[6];
};

// Plays an impulse into a fresh instance for about one second; returns the
// energy of the stereo outputs.
double playImpulse(VstHost& host, HostBuffers& buffers)
{
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    host.setParameter(1, 0.0f); // no dry signal: everything heard is the room
    buffers.in[0] = 1.0f;
    buffers.in[kFrames] = 1.0f;
    double energy = 0.0;
    for (int block = 0; block < 100; ++block) {
        buffers.process(host);
        EXPECT_TRUE(buffers.allFinite()) << "block " << block;
        energy += buffers.energy(0) + buffers.energy(1);
        buffers.in[0] = buffers.in[kFrames] = 0.0f;
    }
    return energy;
}

double playSilence(VstHost& host, HostBuffers& buffers, int blocks)
{
    double energy = 0.0;
    for (int block = 0; block < blocks; ++block) {
        buffers.process(host);
        energy += buffers.energy(0) + buffers.energy(1);
    }
    return energy;
}
} // namespace

TEST_F(PluginTest, ImpulseComesBackAsAReverbTailAndResumeCutsIt)
{
    HostBuffers buffers;
    EXPECT_GT(playImpulse(host, buffers), 1.0e-6) << "the room answers on the stereo outputs";
    // The same instance switched off and on, against a second one left running.
    VstHost running;
    std::string error;
    ASSERT_TRUE(running.load(OVINTA_PLUGIN_PATH, error)) << error;
    HostBuffers runningBuffers;
    playImpulse(running, runningBuffers);

    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    double afterReset = playSilence(host, buffers, 20);
    double stillRinging = playSilence(running, runningBuffers, 20);
    EXPECT_GT(stillRinging, 0.0);
    // The histories and combs are cleared; only the taps' own low-pass states
    // outlive the reset and fade within a few thousand samples, so the reset
    // instance stays well over 20 dB below the one left ringing.
    EXPECT_LT(afterReset, 1.0e-2 * stillRinging);
}

TEST_F(PluginTest, HostileInputAndBlockSizesKeepTheOutputFinite)
{
    HostBuffers buffers;
    host.dispatch(effMainsChanged, 0, 1);
    for (float& s : buffers.in)
        s = 1.0e30f;
    buffers.in[3] = NAN;
    buffers.process(host);
    host.processReplacing(buffers.inputs, buffers.outputs, 0);
    host.processReplacing(buffers.inputs, buffers.outputs, -64);
    host.processReplacing(nullptr, buffers.outputs, kFrames);
    host.processReplacing(buffers.inputs, nullptr, kFrames);
    for (float& s : buffers.in)
        s = 0.0f;
    // After a reset the instance plays again.
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    buffers.process(host);
    EXPECT_TRUE(buffers.allFinite());
}

// ---- Output configuration, run by the editor's idle ---------------------------------

TEST_F(PluginTest, EditorIdleLaysOutOwnOutputsWhenTheHostNamedNone)
{
    host.setParameter(45, 1.0f); // four outputs
    host.dispatch(effEditIdle);
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                            &output),
              1);
    ASSERT_EQ(output->numChannels, 4);
    const char* names[4] = {"L", "R", "3", "4"};
    const VstInt32 types[4] = {1, 2, 5, 6};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(output->speakers[i].name, names[i]);
        EXPECT_EQ(output->speakers[i].type, types[i]);
        EXPECT_EQ(host.getParameter(39 + i), static_cast<float>(i)) << "output " << i + 1;
    }
    EXPECT_EQ(output->type, 15);
    EXPECT_EQ(input->numChannels, 2);
    EXPECT_STREQ(input->speakers[1].name, "R");
}

TEST_F(PluginTest, FedHostChannelsFollowTheSpeakersAndTheOutputsSetting)
{
    // A 5.1 host: L R C Lfe Ls Rs. The roles find their speakers; the LFE
    // channel is never fed.
    HostArrangement input(1, 2);
    HostArrangement output(15, 6);
    const VstInt32 types[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i)
        output.speaker(i, types[i], "speaker");
    ASSERT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input.get()),
                            output.get()),
              1);
    struct Row {
        float setting;
        bool fed[6];
    };
    const Row rows[] = {
        {2.0f, {true, true, true, false, true, true}},    // L R C . Ls Rs
        {1.0f, {true, true, false, false, true, true}},   // L R . . Ls Rs
        {0.0f, {true, true, false, false, false, false}}, // L R
    };
    for (const Row& row : rows) {
        host.setParameter(45, row.setting);
        host.dispatch(effEditIdle);
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effMainsChanged, 0, 1);
        HostBuffers buffers;
        double energy[6] = {};
        buffers.in[0] = buffers.in[kFrames] = 1.0f;
        for (int block = 0; block < 40; ++block) {
            buffers.process(host);
            for (int c = 0; c < 6; ++c)
                energy[c] += buffers.energy(c);
            buffers.in[0] = buffers.in[kFrames] = 0.0f;
        }
        for (int c = 0; c < 6; ++c) {
            if (row.fed[c])
                EXPECT_GT(energy[c], 0.0) << "setting " << row.setting << ", channel " << c;
            else
                EXPECT_EQ(energy[c], 0.0) << "setting " << row.setting << ", channel " << c;
        }
    }
}

TEST_F(PluginTest, EveryDeclaredOutputIsWrittenEveryBlock)
{
    // A host that does not clear its buffers: whatever they held must never
    // be heard, on the outputs in use or on the others.
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    HostBuffers buffers;
    for (int block = 0; block < 4; ++block) {
        std::fill(buffers.out.begin(), buffers.out.end(), 0.123f);
        buffers.process(host);
        for (int c = 0; c < 6; ++c)
            for (int i = 0; i < kFrames; ++i)
                ASSERT_NE(buffers.outputs[c][i], 0.123f) << "block " << block << " output " << c;
        for (int c = 2; c < 6; ++c)
            EXPECT_EQ(buffers.energy(c), 0.0) << "stereo leaves output " << c << " silent";
    }
    // A block the plug-in cannot route (no buffer for a used output) still
    // silences the buffers it was given.
    std::fill(buffers.out.begin(), buffers.out.end(), 0.123f);
    float* partial[6] = {buffers.outputs[0], nullptr, buffers.outputs[2], buffers.outputs[3],
                         buffers.outputs[4], buffers.outputs[5]};
    host.processReplacing(buffers.inputs, partial, kFrames);
    for (int c : {0, 2, 3, 4, 5})
        EXPECT_EQ(buffers.energy(c), 0.0) << "output " << c;
}

TEST_F(PluginTest, AReloadedProjectPlaysItsSavedOutputsWithoutTheEditor)
{
    // Saved with five outputs ...
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    host.setParameter(45, 2.0f);
    const std::vector<unsigned char> bank = chunk(false);
    ASSERT_FALSE(bank.empty());

    // ... reloaded in a host that never opens the editor.
    VstHost reloaded;
    std::string error;
    ASSERT_TRUE(reloaded.load(OVINTA_PLUGIN_PATH, error)) << error;
    reloaded.dispatch(effOpen);
    reloaded.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    reloaded.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()),
                      const_cast<unsigned char*>(bank.data()));
    reloaded.dispatch(effMainsChanged, 0, 1);
    HostBuffers buffers;
    buffers.in[0] = buffers.in[kFrames] = 1.0f;
    double surround = 0.0;
    for (int block = 0; block < 40; ++block) {
        buffers.process(reloaded);
        buffers.in[0] = buffers.in[kFrames] = 0.0f;
        surround += buffers.energy(2) + buffers.energy(3) + buffers.energy(4);
    }
    EXPECT_GT(surround, 1e-6) << "the surround and centre outputs play";
}

// Automation of the outputs setting in a host that never opens the editor:
// set from the host's own thread while another thread plays, it reaches the
// routing at once; set on the audio thread, it waits for the host's next
// call elsewhere.
TEST_F(PluginTest, AutomatedOutputsReachTheRoutingWithoutTheEditor)
{
    host.dispatch(effMainsChanged, 0, 1);
    HostBuffers buffers;
    auto surroundAfterImpulse = [&] {
        double surround = 0.0;
        std::thread audio([&] {
            buffers.in[0] = buffers.in[kFrames] = 1.0f;
            for (int block = 0; block < 40; ++block) {
                buffers.process(host);
                buffers.in[0] = buffers.in[kFrames] = 0.0f;
                surround += buffers.energy(2) + buffers.energy(3);
            }
        });
        audio.join();
        return surround;
    };
    ASSERT_EQ(surroundAfterImpulse(), 0.0);

    std::thread([&] { buffers.process(host); host.setParameter(45, 1.0f); }).join();
    // The setting came on the thread that had just played: not applied yet.
    EXPECT_EQ(surroundAfterImpulse(), 0.0);
    host.setParameter(45, 1.0f);
    EXPECT_GT(surroundAfterImpulse(), 1e-6) << "the surround outputs play";
}

} // namespace ovinta
