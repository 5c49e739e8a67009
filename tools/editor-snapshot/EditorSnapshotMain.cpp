// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png is made with it).
//
//   editor-snapshot OUTPUT.png [PROGRAM]
//   editor-snapshot --export-page OUTPUT.png
//   editor-snapshot --help-page N OUTPUT.png
//
// PROGRAM (0..44, default 0) is selected before the window opens. The other
// two forms draw the main screen's export page, or help page N (1..8), alone
// into a 408 x 408 picture.

#include "editor/EditorBitmaps.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/ExportPage.h"
#include "editor/screens/HelpPages.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Draws one page of the main screen with `draw` and writes it to `path`.
template <typename Draw>
int writePage(const char* path, Draw draw)
{
    COffscreenContext picture(ExportPage::kSize, ExportPage::kSize);
    draw(picture);
    if (!picture.writePng(path)) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int snapshotExportPage(const char* path)
{
    std::unique_ptr<EffectVST> effect(createEffectWithEditor(&quietHost));
    auto* editor = dynamic_cast<OvintaEditor*>(effect->getEditor());
    if (editor == nullptr)
        return 1;
    CBitmap* background = loadEditorBitmap(bitmap::kExportPage);
    ExportPage page(effect->getEngine(), *editor, background, OvintaEditor::exportInitialPath());
    if (background)
        background->forget();
    // Enough draws for the selection's outline to settle.
    return writePage(path, [&](COffscreenContext& picture) {
        for (int i = 0; i < 17; ++i)
            page.draw(picture);
    });
}

int snapshotHelpPage(int number, const char* path)
{
    if (number < 1 || number > HelpPages::kPageCount) {
        std::fprintf(stderr, "editor-snapshot: N must be 1..%d\n", HelpPages::kPageCount);
        return 2;
    }
    HelpPages help;
    help.open();
    for (int i = 1; i < number; ++i)
        help.mouseDown(CPoint(0, 0), kLButton);
    return writePage(path, [&](COffscreenContext& picture) { help.draw(picture); });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--export-page")
        return snapshotExportPage(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--help-page")
        return snapshotHelpPage(std::atoi(argv[2]), argv[3]);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM]\n"
                             "       editor-snapshot --export-page OUTPUT.png\n"
                             "       editor-snapshot --help-page N OUTPUT.png\n");
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
