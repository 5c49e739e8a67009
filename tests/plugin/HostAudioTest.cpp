// Audio through the binary interface: two input and six output buffers, as a
// host passes them.

#include "tests/plugin/PluginFixture.h"

#include <cmath>

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
