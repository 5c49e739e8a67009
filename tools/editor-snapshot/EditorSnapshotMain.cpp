// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png is made with it).
//
//   editor-snapshot OUTPUT.png [PROGRAM] [--playing [OUTPUTS]] [--idles N]
//   editor-snapshot --export-page OUTPUT.png
//   editor-snapshot --help-page N OUTPUT.png
//
// PROGRAM (0..44, default 0) is selected before the window opens.
// --playing plays drum-like noise bursts through the effect between the idle
// steps, as a running host would, so the meters show levels and the impulse
// screen the response; OUTPUTS (2, 4 or 5, default 2) sets the outputs.
// --idles N runs N idle steps before the picture (default 8, playing 30):
// enough of them and the room is traced completely, as in a window that has
// been open for a while.
// The other two forms draw the main screen's export page, or help page N
// (1..8), alone into a 408 x 408 picture.

#include "editor/EditorBitmaps.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/ExportPage.h"
#include "editor/screens/HelpPages.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
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
    int program = 0;
    bool playing = false;
    int outputs = 2;
    int idles = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--idles") == 0 && i + 1 < argc) {
            idles = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--playing") == 0) {
            playing = true;
            if (i + 1 < argc)
                outputs = std::atoi(argv[++i]);
        } else {
            program = std::atoi(argv[i]);
        }
    }
    if (argc < 2 || (outputs != 2 && outputs != 4 && outputs != 5) || idles < 0 || idles > 100000) {
        std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM] [--playing [OUTPUTS]] [--idles N]\n"
                             "       editor-snapshot --export-page OUTPUT.png\n"
                             "       editor-snapshot --help-page N OUTPUT.png\n");
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
    const int steps = idles > 0 ? idles : playing ? 30 : 8;
    for (int step = 1; step <= steps; ++step) {
        if (playing)
            playBlock(*effect, step, buffers);
        window->setTickCount(1000 + 40 * static_cast<uint32_t>(step));
        editor->idle();
    }
    if (!window->writePng(argv[1])) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    editor->close();
    return 0;
}
