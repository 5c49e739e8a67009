// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The VST 2.4 side of the plug-in window:
// - VstEditorHost: the editor's EditorHost over the effect's host callbacks
//   (automation, gestures, the host's file selector as a VstFileSelect
//   record, the window size);
// - VstEditorWindow: the effect's EditorLink, which turns the host's editor
//   opcodes (an ERect, key codes, the knob mode) into calls of a
//   format-free WindowEditor. It owns the editor host and the editor.
// GUI thread, as the host's editor opcodes.

#include "core/EditorHost.h"
#include "host/EditorLink.h"
#include "host/vst2.h"

#include <memory>

namespace ovinta {

class EffectVST;
class WindowEditor;

class VstEditorHost : public EditorHost {
public:
    explicit VstEditorHost(EffectVST& owner) : effect(owner) {}

    float getParameter(int index) override;
    void setParameter(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    bool hasFileSelector() override;
    bool selectFile(const FileRequest& request, std::string& chosenPath) override;
    bool resize(int width, int height) override;

private:
    EffectVST& effect;
};

class VstEditorWindow : public EditorLink {
public:
    VstEditorWindow(std::unique_ptr<EditorHost> host, std::unique_ptr<WindowEditor> editor);
    ~VstEditorWindow() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool onKeyDown(int character, int virtualKey, int modifiers) override;
    bool onKeyUp(int character, int virtualKey, int modifiers) override;
    bool setKnobMode(int mode) override;

    WindowEditor& window() { return *editor; }
    EditorHost& editorHost() { return *host; }

private:
    std::unique_ptr<EditorHost> host;     // declared first: outlives the editor
    std::unique_ptr<WindowEditor> editor;
    ERect rect{0, 0, 0, 0};               // the host reads it after getRect
};

} // namespace ovinta
