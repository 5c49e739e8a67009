// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in window's VST 2.4 translation: host callbacks for the editor,
// editor opcodes for the window.

#include "host/VstEditor.h"

#include "host/EffectVST.h"
#include "toolkit/WindowEditor.h"

#include <cstring>

namespace ovinta {

namespace {
// Copies at most capacity - 1 characters of text and a NUL.
void copyTruncated(char* out, std::size_t capacity, const std::string& text)
{
    std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), length);
    out[length] = 0;
}
} // namespace

// ---- VstEditorHost -----------------------------------------------------------------

float VstEditorHost::getParameter(int index)
{
    return effect.getCore().editorValue(index);
}

void VstEditorHost::setParameter(int index, float value)
{
    effect.setParameterAutomated(index, value);
}

void VstEditorHost::beginEdit(int index)
{
    effect.beginEdit(index);
}

void VstEditorHost::endEdit(int index)
{
    effect.endEdit(index);
}

bool VstEditorHost::hasFileSelector()
{
    return effect.canHostDo("openFileSelector") == 1;
}

bool VstEditorHost::selectFile(const FileRequest& request, std::string& chosenPath)
{
    VstFileType type{};
    copyTruncated(type.name, sizeof type.name, request.typeName);
    copyTruncated(type.macType, sizeof type.macType, request.macType);
    copyTruncated(type.dosType, sizeof type.dosType, request.dosType);
    char initial[1024];
    copyTruncated(initial, sizeof initial, request.initialPath);
    VstFileSelect select{};
    select.command = request.save ? kVstFileSave : kVstFileLoad;
    select.type = kVstFileType;
    select.nbFileTypes = 1;
    select.fileTypes = &type;
    copyTruncated(select.title, sizeof select.title, request.title);
    select.initialPath = initial;

    // The host fills returnPath (allocating it, as no buffer is given) and
    // releases it when the selector is closed.
    if (!effect.openFileSelector(&select))
        return false;
    const bool chosen = select.returnPath != nullptr && select.returnPath[0] != '\0';
    if (chosen)
        chosenPath = select.returnPath;
    effect.closeFileSelector(&select);
    return chosen;
}

bool VstEditorHost::resize(int width, int height)
{
    return effect.sizeWindow(width, height);
}

// ---- VstEditorWindow ---------------------------------------------------------------

VstEditorWindow::VstEditorWindow(std::unique_ptr<EditorHost> h, std::unique_ptr<WindowEditor> e)
    : host(std::move(h)), editor(std::move(e))
{
}

VstEditorWindow::~VstEditorWindow()
{
    editor.reset();
    host.reset();
}

bool VstEditorWindow::getRect(ERect** r)
{
    rect = ERect{0, 0, static_cast<VstInt16>(editor->height()), static_cast<VstInt16>(editor->width())};
    *r = &rect;
    return true;
}

bool VstEditorWindow::open(void* parentWindow)
{
    return editor->open(parentWindow);
}

void VstEditorWindow::close()
{
    editor->close();
}

void VstEditorWindow::idle()
{
    editor->idle();
}

bool VstEditorWindow::onKeyDown(int character, int virtualKey, int modifiers)
{
    return editor->onKeyDown(CKeyCode{character, virtualKey, modifiers});
}

bool VstEditorWindow::onKeyUp(int character, int virtualKey, int modifiers)
{
    return editor->onKeyUp(CKeyCode{character, virtualKey, modifiers});
}

bool VstEditorWindow::setKnobMode(int mode)
{
    WindowEditor::setKnobMode(mode);
    return true;
}

} // namespace ovinta
