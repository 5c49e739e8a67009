// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png is made with it), or
// the picture of one of the main screen's views.
//
//   editor-snapshot OUTPUT.png [PROGRAM [VIEW]]
//
// PROGRAM (0..44, default 0) is selected before the window opens. VIEW is
// "window" (default), "3d" (the 3D view) or "eq" (the EQ view, with its
// second band taken by a press as during a drag): 408 x 408 pixels.

#include "editor/EditorBitmaps.h"
#include "editor/EditorEqLink.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/EqView.h"
#include "editor/screens/Room3DView.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "plugin/PluginFactory.h"
#include "resources/EditorLayout.h"
#include "toolkit/CBitmap.h"
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

// A picture of the resources, released at the end of the scope.
struct Picture {
    explicit Picture(int id) : bitmap(loadEditorBitmap(id)) {}
    ~Picture()
    {
        if (bitmap)
            bitmap->forget();
    }
    CBitmap* bitmap;
};

bool writeView(EffectVST& effect, OvintaEditor& editor, const char* view, const char* path)
{
    COffscreenContext picture(Room3DView::kSize, Room3DView::kSize);
    RoomEngine& engine = effect.getEngine();
    if (std::strcmp(view, "3d") == 0) {
        Picture background(bitmap::k3DBackground);
        Room3DView room(engine, background.bitmap);
        room.setMarkerPhases(6, 10);
        room.draw(picture);
    } else {
        Picture background(bitmap::kEqBackground);
        Picture digits(bitmap::kBandDigits);
        EditorEqLink link(effect, editor);
        EqView eq(engine, link, background.bitmap, digits.bitmap);
        // Press on the second band's column, as a drag starts.
        const int x = EqView::frequencyX(engine.derived().eqFrequency[1], engine.derived().sampleRate);
        eq.mouseDown(CPoint(x - 1, 200), kLButton);
        eq.draw(picture);
        eq.mouseCancel();
    }
    return picture.writePng(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM [window|3d|eq]]\n");
        return 2;
    }
    const int program = argc >= 3 ? std::atoi(argv[2]) : 0;
    if (program < 0 || program >= kProgramCount) {
        std::fprintf(stderr, "editor-snapshot: PROGRAM must be 0..%d\n", kProgramCount - 1);
        return 2;
    }
    const char* view = argc == 4 ? argv[3] : "window";
    if (std::strcmp(view, "window") != 0 && std::strcmp(view, "3d") != 0 && std::strcmp(view, "eq") != 0) {
        std::fprintf(stderr, "editor-snapshot: VIEW must be window, 3d or eq\n");
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
    const bool written = std::strcmp(view, "window") == 0 ? window->writePng(argv[1])
                                                          : writeView(*effect, *editor, view, argv[1]);
    if (!written) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    editor->close();
    return 0;
}
