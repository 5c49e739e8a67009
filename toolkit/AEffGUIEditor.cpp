// AEffGUIEditor: base behaviour of the plug-in editor.

#include "toolkit/AEffGUIEditor.h"

#include "toolkit/CFrame.h"

#include <atomic>
#include <chrono>

namespace ovinta {

namespace {
// The host sets the knob mode once for all instances (GUI thread); relaxed
// is enough for a lone setting.
std::atomic<int> knobMode{kCircularMode};
} // namespace

AEffGUIEditor::AEffGUIEditor() = default;

AEffGUIEditor::~AEffGUIEditor()
{
    delete frame;
    frame = nullptr;
}

bool AEffGUIEditor::getRect(EditorRect** r)
{
    if (!r)
        return false;
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parent)
{
    parentWindow = parent;
    return true;
}

void AEffGUIEditor::close()
{
    delete frame;
    frame = nullptr;
    parentWindow = nullptr;
}

void AEffGUIEditor::idle()
{
    if (frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(const CKeyCode& key) { return frame && frame->platformKeyDown(key); }

bool AEffGUIEditor::onKeyUp(const CKeyCode&) { return false; }

void AEffGUIEditor::setParameter(int, float) {}

void AEffGUIEditor::beginEdit(int) {}

void AEffGUIEditor::endEdit(int) {}

uint32_t AEffGUIEditor::getTicks() const { return frame ? frame->getTicks() : systemTicks(); }

void AEffGUIEditor::setKnobMode(int mode) { knobMode.store(mode, std::memory_order_relaxed); }

int AEffGUIEditor::getKnobMode() { return knobMode.load(std::memory_order_relaxed); }

uint32_t AEffGUIEditor::systemTicks()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void AEffGUIEditor::setEditorSize(int width, int height)
{
    rect = EditorRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
}

} // namespace ovinta
