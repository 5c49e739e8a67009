// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png is made with it), or
// the picture of one of the main screen's views.
//
//   editor-snapshot OUTPUT.png [PROGRAM] [--playing [OUTPUTS]] [--view 3d|eq]
//
// PROGRAM (0..44, default 0) is selected before the window opens.
// --playing plays drum-like noise bursts through the effect between the idle
// steps, as a running host would, so the meters show levels and the impulse
// screen the response; OUTPUTS (2, 4 or 5, default 2) sets the outputs.
// --view writes the 408 x 408 picture of the 3D view or of the EQ view (its
// second band taken by a press, as during a drag) instead of the window.

#include "editor/EditorBitmaps.h"
#include "editor/EditorEqLink.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/EqView.h"
#include "editor/screens/Room3DView.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "plugin/PluginFactory.h"
#include "resources/EditorLayout.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr int kBlockFrames = 1764; // 40 ms at 44.1 kHz: one block per timed idle step

// One block of a burst every half second: noise that dies away in ~60 ms.
void playBlock(EffectVST& effect, int block, std::vector<std::vector<float>>& buffers)
{
    float* channels[kInputChannelCapacity + kOutputChannelCapacity];
    for (int c = 0; c < kInputChannelCapacity + kOutputChannelCapacity; ++c)
        channels[c] = buffers[static_cast<std::size_t>(c)].data();
    float** in = channels;
    float** out = channels + kInputChannelCapacity;
    uint32_t seed = 12345u + static_cast<uint32_t>(block);
    for (int i = 0; i < kBlockFrames; ++i) {
        const int sinceBurst = (block * kBlockFrames + i) % 22050;
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 9) / 8388608.0f - 1.0f;
        const float envelope = std::exp(-static_cast<float>(sinceBurst) / 2600.0f);
        in[0][i] = in[1][i] = 0.5f * noise * envelope;
    }
    effect.processReplacing(in, out, kBlockFrames);
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
    int program = 0;
    bool playing = false;
    int outputs = 2;
    const char* view = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--view") == 0 && i + 1 < argc) {
            view = argv[++i];
        } else if (std::strcmp(argv[i], "--playing") == 0) {
            playing = true;
            if (i + 1 < argc)
                outputs = std::atoi(argv[++i]);
        } else {
            program = std::atoi(argv[i]);
        }
    }
    const bool viewKnown = view == nullptr || std::strcmp(view, "3d") == 0 || std::strcmp(view, "eq") == 0;
    if (argc < 2 || (outputs != 2 && outputs != 4 && outputs != 5) || !viewKnown) {
        std::fprintf(stderr,
                     "usage: editor-snapshot OUTPUT.png [PROGRAM] [--playing [OUTPUTS]] [--view 3d|eq]\n");
        return 2;
    }
    if (program < 0 || program >= kProgramCount) {
        std::fprintf(stderr, "editor-snapshot: PROGRAM must be 0..%d\n", kProgramCount - 1);
        return 2;
    }
    std::unique_ptr<EffectVST> effect(createEffectWithEditor(&quietHost));
    effect->setProgram(program);
    if (playing) {
        // The outputs setting: 0 two, 1 four, 2 five outputs.
        effect->setParameter(param::kSurround, outputs == 2 ? 0.0f : outputs == 4 ? 1.0f : 2.0f);
        effect->setSampleRate(44100.0f);
        effect->setBlockSize(kBlockFrames);
        effect->resume();
    }
    auto* editor = dynamic_cast<OvintaEditor*>(effect->getEditor());
    if (editor == nullptr || !editor->open(nullptr)) {
        std::fprintf(stderr, "editor-snapshot: the editor did not open\n");
        return 1;
    }
    HeadlessWindow* window = editor->getFrame()->getHeadless();
    // A few timed idle steps, so the screens have drawn and the room traced;
    // while playing, enough for every ray to post and the last burst to ring.
    std::vector<std::vector<float>> buffers(kInputChannelCapacity + kOutputChannelCapacity,
                                            std::vector<float>(kBlockFrames));
    const int steps = playing ? 30 : 8;
    for (int step = 1; step <= steps; ++step) {
        if (playing)
            playBlock(*effect, step, buffers);
        window->setTickCount(1000 + 40 * static_cast<uint32_t>(step));
        editor->idle();
    }
    const bool written =
        view == nullptr ? window->writePng(argv[1]) : writeView(*effect, *editor, view, argv[1]);
    if (!written) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    editor->close();
    return 0;
}
