// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png and the edit view
// pictures in docs/ are made with it).
//
//   editor-snapshot OUTPUT.png [PROGRAM] [options]
//
// PROGRAM (0..44, default 0) is selected before the window opens. Options:
//   --screen              write only the main screen (408 x 408)
//   --mirror              switch MIRROR on
//   --scatter, --rays     show the scatter or ray-count overlay, as after a
//                         change of that knob
//   --drag TOOL X1 Y1 X2 Y2
//                         hold a drag with TOOL (line, box or edit) from grid
//                         point (X1, Y1) to (X2, Y2), not yet released

#include "editor/OvintaEditor.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "plugin/PluginFactory.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Options {
    const char* output = nullptr;
    int program = 0;
    bool screenOnly = false, mirror = false, scatter = false, rays = false;
    int dragTool = -1; // tag of the tool button, -1 none
    int drag[4] = {};
};

int usage()
{
    std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM] [--screen] [--mirror] [--scatter] [--rays] "
                         "[--drag line|box|edit X1 Y1 X2 Y2]\n");
    return 2;
}

bool parse(int argc, char** argv, Options& o)
{
    if (argc < 2)
        return false;
    o.output = argv[1];
    for (int i = 2; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--screen") == 0) {
            o.screenOnly = true;
        } else if (std::strcmp(a, "--mirror") == 0) {
            o.mirror = true;
        } else if (std::strcmp(a, "--scatter") == 0) {
            o.scatter = true;
        } else if (std::strcmp(a, "--rays") == 0) {
            o.rays = true;
        } else if (std::strcmp(a, "--drag") == 0 && i + 5 < argc) {
            const char* tool = argv[++i];
            o.dragTool = std::strcmp(tool, "line") == 0  ? param::kToolLines
                         : std::strcmp(tool, "box") == 0 ? param::kToolBoxes
                         : std::strcmp(tool, "edit") == 0 ? param::kToolEdit
                                                          : -2;
            if (o.dragTool == -2)
                return false;
            for (int& v : o.drag)
                v = std::atoi(argv[++i]);
        } else if (i == 2 && a[0] != '-') {
            o.program = std::atoi(a);
        } else {
            return false;
        }
    }
    return o.program >= 0 && o.program < kProgramCount;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o))
        return usage();
    std::unique_ptr<EffectVST> effect(createEffectWithEditor(&quietHost));
    effect->setProgram(o.program);
    auto* editor = dynamic_cast<OvintaEditor*>(effect->getEditor());
    if (editor == nullptr || !editor->open(nullptr)) {
        std::fprintf(stderr, "editor-snapshot: the editor did not open\n");
        return 1;
    }
    HeadlessWindow* window = editor->getFrame()->getHeadless();
    uint32_t ticks = 1000;
    auto idle = [&](int steps) {
        for (int step = 0; step < steps; ++step) {
            ticks += 40;
            window->setTickCount(ticks);
            editor->idle();
        }
    };
    auto centre = [&](int tag) {
        const CRect r = editor->getControl(tag)->getViewSize();
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // A few timed idle steps, so the screens have drawn and the room traced.
    idle(8);
    if (o.mirror) {
        window->click(centre(param::kMirror));
        idle(1);
    }
    if (o.scatter || o.rays) {
        // The same value again: the knob's temporary overlay shows.
        const int knob = o.scatter ? param::kScatter : param::kNumRays;
        effect->setParameter(knob, effect->getParameter(knob));
        idle(2);
    }
    if (o.dragTool >= 0) {
        window->click(centre(o.dragTool));
        idle(1);
        auto at = [](int x, int y) { return CPoint(8 + 8 * x + 4, 8 + 8 * y + 4); };
        window->pressAt(at(o.drag[0], o.drag[1]), kLButton);
        window->holdAt(at(o.drag[2], o.drag[3]), kLButton);
        idle(1);
    }
    const bool written = o.screenOnly ? window->writePng(o.output, editor->getControl(param::kMainScreen)->getViewSize())
                                      : window->writePng(o.output);
    if (!written) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", o.output);
        return 1;
    }
    editor->close();
    return 0;
}
