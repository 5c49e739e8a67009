// SPDX-License-Identifier: GPL-3.0-or-later
// The editor on a real X server: this test plays the host. It starts its
// own Xvfb (skipped when Xvfb is not installed), opens a parent window,
// opens the editor in it through the effect's dispatcher, idles, reads the
// window back, clicks a button with a synthetic X event, and closes and
// re-opens the editor.

#include "editor/EditorBitmaps.h"
#include "editor/OvintaEditor.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/X11TestSupport.h"
#include "tests/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ovinta {

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

class X11EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!startVirtualDisplay(server))
            GTEST_SKIP() << "Xvfb is not installed";
        host = std::make_unique<X11TestHost>(704, 560);
        ASSERT_TRUE(host->isOpen()) << "cannot open display " << server->displayName();
        effect.reset(createEffectWithEditor(&quietHost));
        aeffect = effect->getAeffect();
    }
    void TearDown() override
    {
        effect.reset();
        host.reset();
        server.reset();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return aeffect->dispatcher(aeffect, opcode, index, value, ptr, 0.0f);
    }
    // Host idle for a while, as a host's timer would call it.
    void idleFor(std::chrono::milliseconds span)
    {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // The editor's own child window inside the host's.
    void* editorWindow()
    {
        auto* editor = editorOf(*effect);
        CFrame* frame = editor ? editor->getFrame() : nullptr;
        return frame && frame->getPlatform() ? frame->getPlatform()->nativeHandle() : nullptr;
    }

    std::unique_ptr<VirtualDisplay> server;
    std::unique_ptr<X11TestHost> host;
    std::unique_ptr<EffectVST> effect;
    AEffect* aeffect = nullptr;
};

uint32_t rgb(CColor c)
{
    return (static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) | c.blue;
}

} // namespace

TEST_F(X11EditorTest, OpensInTheHostWindowShowsTheBackgroundAndTakesClicks)
{
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 704);
    EXPECT_EQ(rect->bottom - rect->top, 560);

    ASSERT_EQ(dispatch(effEditOpen, 0, 0, host->parentHandle()), 1);
    idleFor(std::chrono::milliseconds(300));
    EXPECT_EQ(host->childCount(), 1);
    void* child = editorWindow();
    ASSERT_NE(child, nullptr);

    // The panel's title row, read back from the X server.
    const std::vector<uint32_t> pixels = host->readPixels(child, 704, 560);
    ASSERT_EQ(pixels.size(), 704u * 560u);
    CBitmap* background = loadEditorBitmap(152);
    ASSERT_NE(background, nullptr);
    for (int x = 430; x < 700; x += 30)
        EXPECT_EQ(pixels[12 * 704 + x], rgb(background->getPixel(x, 12))) << x;
    background->forget();

    // A click on the Stereo button, as the X server delivers it.
    const float before = effect->getParameter(param::kStereoOnOff);
    host->sendPress(child, 460, 346, 1);
    host->sync();
    idleFor(std::chrono::milliseconds(200));
    EXPECT_EQ(effect->getParameter(param::kStereoOnOff), before > 0.5f ? 0.0f : 1.0f);

    dispatch(effEditClose);
    host->sync();
    EXPECT_EQ(host->childCount(), 0); // the child window went with the editor
}

TEST_F(X11EditorTest, ClosesAndReopensCleanly)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, host->parentHandle()), 1) << "round " << round;
        idleFor(std::chrono::milliseconds(100));
        aeffect->setParameter(aeffect, param::kGain, 0.1f * static_cast<float>(round));
        idleFor(std::chrono::milliseconds(50));
        dispatch(effEditClose);
        aeffect->setParameter(aeffect, param::kGain, 0.9f); // while closed
        dispatch(effEditIdle);                             // a host may still idle
    }
    EXPECT_EQ(effect->getParameter(param::kGain), 0.9f);
    // A parent that does not exist opens nothing.
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(0x7FFFFF))), 0);
}

} // namespace ovinta
