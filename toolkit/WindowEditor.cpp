// SPDX-License-Identifier: GPL-3.0-or-later
// WindowEditor: base behaviour of a plug-in window.

#include "toolkit/WindowEditor.h"

#include "toolkit/CFrame.h"

#include <atomic>
#include <chrono>

namespace ovinta {

namespace {
// The host sets the knob mode once for all instances (GUI thread); relaxed
// is enough for a lone setting.
std::atomic<int> knobMode{kCircularMode};
} // namespace

WindowEditor::WindowEditor() = default;

WindowEditor::~WindowEditor()
{
    delete frame;
    frame = nullptr;
}

bool WindowEditor::open(void* parent)
{
    parentWindow = parent;
    return true;
}

void WindowEditor::close()
{
    delete frame;
    frame = nullptr;
    parentWindow = nullptr;
}

void WindowEditor::idle()
{
    if (frame)
        frame->idle();
}

bool WindowEditor::onKeyDown(const CKeyCode& key) { return frame && frame->platformKeyDown(key); }

bool WindowEditor::onKeyUp(const CKeyCode&) { return false; }

void WindowEditor::beginEdit(int) {}

void WindowEditor::endEdit(int) {}

uint32_t WindowEditor::getTicks() const { return frame ? frame->getTicks() : systemTicks(); }

void WindowEditor::setKnobMode(int mode) { knobMode.store(mode, std::memory_order_relaxed); }

int WindowEditor::getKnobMode() { return knobMode.load(std::memory_order_relaxed); }

uint32_t WindowEditor::systemTicks()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void WindowEditor::setEditorSize(int width, int height)
{
    editorWidth = width;
    editorHeight = height;
}

} // namespace ovinta
