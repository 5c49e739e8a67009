// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// StandaloneEditorHost: the EditorHost of an editor that runs without a
// plug-in host (the snapshot tool, benchmarks, tests): values go straight to
// the core, nothing is recorded, and there is no file selector and no window
// to resize. Editor thread.

#include "core/EditorHost.h"
#include "core/PluginCore.h"

namespace ovinta {

class StandaloneEditorHost : public EditorHost {
public:
    explicit StandaloneEditorHost(PluginCore& owner) : core(owner) {}

    float getParameter(int index) override { return core.editorValue(index); }
    void setParameter(int index, float value) override { core.setParameter(index, value); }
    void beginEdit(int) override {}
    void endEdit(int) override {}
    bool hasFileSelector() override { return false; }
    bool selectFile(const FileRequest&, std::string&) override { return false; }
    bool resize(int, int) override { return false; }

private:
    PluginCore& core;
};

} // namespace ovinta
