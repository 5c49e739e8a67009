// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test fixture: one plug-in instance (effect, engine and editor) with a host
// callback that records every call, the editor opened on the headless
// back-end, a manual tick clock and scripted mouse input.

#include "editor/OvintaEditor.h"
#include "plugin/PluginFactory.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "host/VstEditor.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace ovinta {

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    float value;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recorder = &calls;
        effect.reset(createEffectWithEditor(&recordingHost));
        editor = editorOf(*effect);
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override
    {
        effect.reset();
        recorder = nullptr;
    }

    // Opens the window headless and paints it once.
    void openEditor()
    {
        ASSERT_TRUE(editor->open(nullptr));
        window = editor->getFrame()->getHeadless();
        ASSERT_NE(window, nullptr);
        window->setTickCount(ticks);
        editor->idle();
    }

    // Host idle calls, `ms` apart on the editor's clock.
    void idle(int times = 1, uint32_t ms = 40)
    {
        for (int i = 0; i < times; ++i) {
            ticks += ms;
            window->setTickCount(ticks);
            editor->idle();
        }
    }

    // A press and release at `where`, delivered by the next idle.
    void click(CPoint where, int buttons = kLButton)
    {
        window->click(where, buttons);
        idle();
    }
    void drag(CPoint from, CPoint to, int steps = 10)
    {
        window->drag(from, to, steps);
        idle();
    }

    CPoint centre(int tag) const
    {
        const CRect r = editor->getControl(tag)->getViewSize();
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The editor's host: the VST adapter's, over the recording host.
    EditorHost* editorHost() { return &dynamic_cast<VstEditorWindow*>(effect->getEditor())->editorHost(); }
    float control(int tag) const { return editor->getControl(tag)->getValue(); }
    RoomEngine& engine() { return effect->getEngine(); }
    OvintaProgram& program() { return engine().currentProgramRecord(); }

    // Recorded host calls of one opcode, optionally for one index only.
    std::vector<HostCall> callsOf(VstInt32 opcode, int index = -1) const
    {
        std::vector<HostCall> found;
        for (const HostCall& c : calls)
            if (c.opcode == opcode && (index < 0 || c.index == index))
                found.push_back(c);
        return found;
    }
    // The opcodes of the recorded gesture and automation calls, in order.
    std::vector<VstInt32> gestureOpcodes() const
    {
        std::vector<VstInt32> found;
        for (const HostCall& c : calls)
            if (c.opcode == audioMasterAutomate || c.opcode == audioMasterBeginEdit ||
                c.opcode == audioMasterEndEdit)
                found.push_back(c.opcode);
        return found;
    }

    static VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt)
    {
        if (opcode == audioMasterVersion)
            return 2400;
        if (recorder)
            recorder->push_back(HostCall{opcode, index, opt});
        return 0;
    }

    inline static std::vector<HostCall>* recorder = nullptr;
    std::vector<HostCall> calls;
    std::unique_ptr<EffectVST> effect;
    OvintaEditor* editor = nullptr;
    HeadlessWindow* window = nullptr;
    uint32_t ticks = 1000;
};

} // namespace ovinta
