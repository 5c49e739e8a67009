// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png is made with it).
//
//   editor-snapshot OUTPUT.png [PROGRAM]
//
// PROGRAM (0..44, default 0) is selected before the window opens.

#include "editor/OvintaEditor.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM]\n");
        return 2;
    }
    const int program = argc == 3 ? std::atoi(argv[2]) : 0;
    if (program < 0 || program >= kProgramCount) {
        std::fprintf(stderr, "editor-snapshot: PROGRAM must be 0..%d\n", kProgramCount - 1);
        return 2;
    }
    std::unique_ptr<EffectVST> effect(createEffectWithEditor(&quietHost));
    effect->setProgram(program);
    auto* editor = dynamic_cast<OvintaEditor*>(effect->getEditor());
    if (editor == nullptr || !editor->open(nullptr)) {
        std::fprintf(stderr, "editor-snapshot: the editor did not open\n");
        return 1;
    }
    HeadlessWindow* window = editor->getFrame()->getHeadless();
    // A few timed idle steps, so the screens have drawn and the room traced.
    for (uint32_t step = 1; step <= 8; ++step) {
        window->setTickCount(1000 + 40 * step);
        editor->idle();
    }
    if (!window->writePng(argv[1])) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    editor->close();
    return 0;
}
