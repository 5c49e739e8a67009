// SPDX-License-Identifier: GPL-3.0-or-later
// The built plug-in library (ovinta.so) as a host sees it: its editor opens
// in a window on an Xvfb server of the test's own, a wall is drawn and the
// first source dragged with real pointer events, and the host then receives
// the source's new position as automation and hears a changed response.
// The same input through a second, untouched instance is the reference.

#include "tests/VirtualDisplay.h"
#include "host/vst2.h"
#include "model/Parameters.h"
#include "toolkit/platform/X11TestSupport.h"
#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr int kBlock = 256;

class Instance {
public:
    explicit Instance(std::string& error)
    {
        loaded = host.load(OVINTA_PLUGIN_PATH, error);
        if (!loaded)
            return;
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.dispatch(effSetBlockSize, 0, kBlock);
        host.dispatch(effMainsChanged, 0, 1);
        for (auto& channel : out)
            channel.assign(kBlock, 0.0f);
    }
    // One block of `input` on both inputs; returns the left output.
    const std::vector<float>& render(std::vector<float>& input)
    {
        float* inputs[2] = {input.data(), input.data()};
        float* outputs[6];
        for (int c = 0; c < 6; ++c)
            outputs[c] = out[c].data();
        host.processReplacing(inputs, outputs, kBlock);
        return out[0];
    }
    VstHost host;
    bool loaded = false;
    std::vector<float> out[6];
};

class EditViewPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!startVirtualDisplay(server))
            GTEST_SKIP() << "Xvfb is not installed";
        window = std::make_unique<X11TestHost>(704, 560);
        ASSERT_TRUE(window->isOpen());
        std::string error;
        edited = std::make_unique<Instance>(error);
        ASSERT_TRUE(edited->loaded) << error;
        reference = std::make_unique<Instance>(error);
        ASSERT_TRUE(reference->loaded) << error;
    }
    void TearDown() override
    {
        if (edited && edited->loaded)
            edited->host.dispatch(effEditClose);
        edited.reset();
        reference.reset();
        window.reset();
        server.reset();
    }
    void idleFor(std::chrono::milliseconds span)
    {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            edited->host.dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // A left-button drag between two grid points of the plan, as the X
    // server delivers it (the plan's corner is at (8, 8), 8 pixels a metre).
    void dragOnPlan(void* child, int x1, int y1, int x2, int y2)
    {
        auto px = [](int metres) { return 8 + 8 * metres + 4; };
        window->sendPress(child, px(x1), px(y1), 1);
        for (int step = 1; step <= 10; ++step)
            window->sendMotion(child, px(x1) + (px(x2) - px(x1)) * step / 10, px(y1) + (px(y2) - px(y1)) * step / 10,
                               1);
        window->sendRelease(child, px(x2), px(y2), 1);
        window->sync();
        idleFor(std::chrono::milliseconds(200));
    }
    // Renders about a second of noise through both instances and returns
    // the summed difference of their left outputs over its second half.
    double renderDifference()
    {
        std::vector<float> input(kBlock);
        double difference = 0.0;
        constexpr int kBlocks = 172;
        for (int b = 0; b < kBlocks; ++b) {
            for (float& s : input) {
                noise = noise * 1664525u + 1013904223u;
                s = static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
            }
            const std::vector<float>& a = edited->render(input);
            const std::vector<float>& r = reference->render(input);
            if (b >= kBlocks / 2)
                for (int i = 0; i < kBlock; ++i)
                    difference += std::fabs(static_cast<double>(a[i]) - static_cast<double>(r[i]));
        }
        return difference;
    }

    std::unique_ptr<VirtualDisplay> server;
    std::unique_ptr<X11TestHost> window;
    std::unique_ptr<Instance> edited, reference;
    uint32_t noise = 1;
};

TEST_F(EditViewPluginTest, ADrawnWallIsHeardAndADraggedSourceReachesTheHost)
{
    ASSERT_EQ(edited->host.dispatch(effEditOpen, 0, 0, window->parentHandle()), 1);
    idleFor(std::chrono::milliseconds(300));
    void* child = window->lastChild();
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(renderDifference(), 0.0) << "both instances play the same room";

    // A wall straight across the room's middle (LINES is the tool at open).
    dragOnPlan(child, 1, 25, 49, 25);
    EXPECT_GT(renderDifference(), 1.0) << "the wall changes the response";

    // Source 1 one step to the right (whole metres from the parameters).
    const int sx = static_cast<int>(std::lround(50.0f * edited->host.getParameter(param::kSource1X)));
    const int sy = static_cast<int>(std::lround(50.0f * edited->host.getParameter(param::kSource1Y)));
    const int tx = sx < 45 ? sx + 3 : sx - 3;
    edited->host.clearCalls();
    dragOnPlan(child, sx, sy, tx, sy);
    bool reported = false;
    for (const HostCall& c : edited->host.calls())
        if (c.opcode == audioMasterAutomate && c.index == param::kSource1X)
            reported = std::fabs(c.opt - static_cast<float>(tx) / 50.0f) < 1e-6f;
    EXPECT_TRUE(reported) << "source 1 x from " << sx << " to " << tx;
    EXPECT_NEAR(edited->host.getParameter(param::kSource1X), static_cast<float>(tx) / 50.0f, 1e-6f);
}

} // namespace

} // namespace ovinta
