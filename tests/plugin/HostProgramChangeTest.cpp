// SPDX-License-Identifier: GPL-3.0-or-later
// A program change plays the fully traced room from the first block after it:
// an impulse right after the change and one three seconds later get the same
// response, whichever call made the change.

#include "tests/plugin/PluginFixture.h"

#include <cmath>

namespace ovinta {

namespace {

constexpr int kFrames = 512;
constexpr float kRate = 48000.0f;
constexpr int kResponseBlocks = 94;  // about a second
constexpr int kLaterBlocks = 282;    // about three seconds

enum class Change { SetProgram, NextProgramTag, ProgramChunk, BankChunk };

struct Case {
    const char* name;
    Change change;
    int program;
    float stereo; // Stereo button
    float rays;   // ray-count parameter: 0 gives 16 rays, 120.5/248 gives 256, 1 gives 512
};

// A fresh instance whose program `c.program` holds the case's stereo and ray
// settings, left on another program.
void prepare(VstHost& host, const Case& c)
{
    std::string error;
    ASSERT_TRUE(host.load(OVINTA_PLUGIN_PATH, error)) << error;
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
    host.dispatch(effSetBlockSize, 0, kFrames);
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effSetProgram, 0, c.program);
    host.setParameter(23, c.stereo);
    host.setParameter(44, c.rays);
    host.dispatch(effSetProgram, 0, c.program - 1);
}

std::vector<unsigned char> chunkOf(VstHost& host, bool program)
{
    void* data = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    auto* bytes = static_cast<unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

void makeChange(VstHost& host, const Case& c)
{
    switch (c.change) {
    case Change::SetProgram: host.dispatch(effSetProgram, 0, c.program); break;
    case Change::NextProgramTag: // the editor's arrow: steps on release
        host.setParameter(68, 1.0f);
        host.setParameter(68, 0.0f);
        break;
    case Change::ProgramChunk: {
        host.dispatch(effSetProgram, 0, c.program);
        std::vector<unsigned char> program = chunkOf(host, true);
        host.dispatch(effSetProgram, 0, c.program - 1);
        host.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(program.size()), program.data());
        break;
    }
    case Change::BankChunk: {
        std::vector<unsigned char> bank = chunkOf(host, false);
        host.dispatch(effSetProgram, 0, c.program);
        host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data());
        break;
    }
    }
}

// Left and right outputs for an impulse `delayBlocks` blocks after the change.
std::vector<float> responseAfterChange(const Case& c, int delayBlocks)
{
    VstHost host;
    prepare(host, c);
    makeChange(host, c);
    std::vector<float> in(2 * kFrames, 0.0f), out(6 * kFrames, 0.0f);
    float* inputs[2] = {in.data(), in.data() + kFrames};
    float* outputs[6];
    for (int k = 0; k < 6; ++k)
        outputs[k] = out.data() + k * kFrames;
    for (int block = 0; block < delayBlocks; ++block)
        host.processReplacing(inputs, outputs, kFrames);
    std::vector<float> response;
    in[0] = in[kFrames] = 1.0f;
    for (int block = 0; block < kResponseBlocks; ++block) {
        host.processReplacing(inputs, outputs, kFrames);
        in[0] = in[kFrames] = 0.0f;
        response.insert(response.end(), outputs[0], outputs[0] + kFrames);
        response.insert(response.end(), outputs[1], outputs[1] + kFrames);
    }
    return response;
}

} // namespace

TEST(ProgramChange, TheFirstBlockPlaysTheFullyTracedRoom)
{
    const Case cases[] = {
        {"set program, stereo, 256 rays", Change::SetProgram, 1, 1.0f, 120.5f / 248.0f},
        {"set program, mono, 16 rays", Change::SetProgram, 30, 0.0f, 0.0f},
        {"set program, stereo, 512 rays", Change::SetProgram, 30, 1.0f, 1.0f},
        {"next-program tag, mono, 512 rays", Change::NextProgramTag, 1, 0.0f, 1.0f},
        {"program chunk, stereo, 16 rays", Change::ProgramChunk, 30, 1.0f, 0.0f},
        {"bank chunk, mono, 256 rays", Change::BankChunk, 1, 0.0f, 120.5f / 248.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> first = responseAfterChange(c, 0);
        const std::vector<float> later = responseAfterChange(c, kLaterBlocks);
        ASSERT_EQ(first.size(), later.size());
        double energy = 0.0, worst = 0.0;
        for (std::size_t i = 0; i < first.size(); ++i) {
            energy += static_cast<double>(later[i]) * static_cast<double>(later[i]);
            worst = std::max(worst, std::fabs(static_cast<double>(first[i]) - static_cast<double>(later[i])));
        }
        EXPECT_GT(energy, 1e-4) << "the room answers";
        // Equal but for the 1e-20 offsets that keep the states out of the
        // denormal range.
        EXPECT_LT(worst, 1e-12);
    }
}

} // namespace ovinta
