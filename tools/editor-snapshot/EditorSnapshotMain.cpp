// SPDX-License-Identifier: GPL-3.0-or-later
// editor-snapshot: opens the plug-in's editor without a window system and
// writes its picture as a PNG file (docs/editor.png and the edit view
// pictures in docs/ are made with it).
//
//   editor-snapshot OUTPUT.png [PROGRAM] [options]
//   editor-snapshot --export-page OUTPUT.png
//   editor-snapshot --help-page N OUTPUT.png
//   editor-snapshot --view-3d OUTPUT.png [PROGRAM]
//   editor-snapshot --view-eq OUTPUT.png [PROGRAM]
//
// PROGRAM (0..44, default 0) is selected before the window opens. Options:
//   --screen              write only the main screen (408 x 408)
//   --mirror              switch MIRROR on
//   --scatter, --rays     show the scatter or ray-count overlay, as after a
//                         change of that knob
//   --drag TOOL X1 Y1 X2 Y2
//                         hold a drag with TOOL (line, box or edit) from grid
//                         point (X1, Y1) to (X2, Y2), not yet released
//   --playing [OUTPUTS]   play drum-like noise bursts through the plug-in
//                         between the idle steps, as a running host would, so
//                         the meters show levels and the impulse screen the
//                         response; OUTPUTS (2, 4 or 5, default 2)
//   --idles N             N idle steps before the picture (default 8, playing
//                         30): enough of them and the room is traced
//                         completely, as in a window open for a while
// The other two forms draw the main screen's export page, or help page N
// (1..8), alone into a 408 x 408 picture.
//   editor-snapshot --view-3d OUTPUT.png [PROGRAM]
//   editor-snapshot --view-eq OUTPUT.png [PROGRAM]
// The view forms draw the 3D view or the EQ view (its second band taken by a
// press, as during a drag) alone into a 408 x 408 picture.

#include "editor/EditorBitmaps.h"
#include "editor/EditorEqLink.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/OVEqView.h"
#include "editor/screens/OVExportPage.h"
#include "editor/screens/OVHelpPages.h"
#include "editor/screens/OVRoom3DView.h"
#include "core/DirectEditorPort.h"
#include "core/PluginCore.h"
#include "core/StandaloneEditorHost.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
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

namespace ovinta {

namespace {

// The plug-in without a host: the core and its editor.
struct Instance {
    PluginCore core;
    StandaloneEditorHost host{core};
    OvintaEditor editor{std::make_unique<DirectEditorPort>(core), host};
};

constexpr int kBlockFrames = 1764; // 40 ms at 44.1 kHz: one block per timed idle step

// One block of a burst every half second: noise that dies away in ~60 ms.
void playBlock(PluginCore& core, int block, std::vector<std::vector<float>>& buffers)
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
    core.process(in, out, kBlockFrames);
}

// Draws one page of the main screen with `draw` and writes it to `path`.
template <typename Draw>
int writePage(const char* path, Draw draw)
{
    COffscreenContext picture(OVExportPage::kSize, OVExportPage::kSize);
    draw(picture);
    if (!picture.writePng(path)) {
        std::fprintf(stderr, "editor-snapshot: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int snapshotExportPage(const char* path)
{
    auto plugin = std::make_unique<Instance>();
    CBitmap* background = loadEditorBitmap(bitmap::kExportPage);
    OVExportPage page(plugin->editor.getPort(), plugin->editor, background, OvintaEditor::exportInitialPath());
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
    if (number < 1 || number > OVHelpPages::kPageCount) {
        std::fprintf(stderr, "editor-snapshot: N must be 1..%d\n", OVHelpPages::kPageCount);
        return 2;
    }
    OVHelpPages help;
    help.open();
    for (int i = 1; i < number; ++i)
        help.mouseDown(CPoint(0, 0), kLButton);
    return writePage(path, [&](COffscreenContext& picture) { help.draw(picture); });
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

int snapshotView(bool eqView, const char* path, int program)
{
    if (program < 0 || program >= kProgramCount) {
        std::fprintf(stderr, "editor-snapshot: PROGRAM must be 0..%d\n", kProgramCount - 1);
        return 2;
    }
    auto plugin = std::make_unique<Instance>();
    plugin->core.setProgram(program);
    EditorPort& port = plugin->editor.getPort();
    if (!eqView) {
        Picture background(bitmap::k3DBackground);
        OVRoom3DView room(port, background.bitmap);
        room.setMarkerPhases(6, 10);
        return writePage(path, [&](COffscreenContext& picture) { room.draw(picture); });
    }
    Picture background(bitmap::kEqBackground);
    Picture digits(bitmap::kBandDigits);
    EditorEqLink link(plugin->editor.getPort(), plugin->host, plugin->editor);
    OVEqView eq(port, link, background.bitmap, digits.bitmap);
    const int x = OVEqView::frequencyX(port.values().eqFrequency[1], port.values().sampleRate);
    eq.mouseDown(CPoint(x - 1, 200), kLButton);
    const int written = writePage(path, [&](COffscreenContext& picture) { eq.draw(picture); });
    eq.mouseCancel();
    return written;
}

struct Options {
    const char* output = nullptr;
    int program = 0;
    bool screenOnly = false, mirror = false, scatter = false, rays = false;
    int dragTool = -1; // tag of the tool button, -1 none
    int drag[4] = {};
    bool playing = false;
    int outputs = 2;
    int idles = 0; // 0: the default count
};

int usage()
{
    std::fprintf(stderr, "usage: editor-snapshot OUTPUT.png [PROGRAM] [--screen] [--mirror] [--scatter] [--rays] "
                         "[--drag line|box|edit X1 Y1 X2 Y2] [--playing [OUTPUTS]] [--idles N]\n"
                         "       editor-snapshot --export-page OUTPUT.png\n"
                         "       editor-snapshot --help-page N OUTPUT.png\n"
                         "       editor-snapshot --view-3d|--view-eq OUTPUT.png [PROGRAM]\n");
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
        } else if (std::strcmp(a, "--idles") == 0 && i + 1 < argc) {
            o.idles = std::atoi(argv[++i]);
            if (o.idles < 1 || o.idles > 100000)
                return false;
        } else if (std::strcmp(a, "--playing") == 0) {
            o.playing = true;
            if (i + 1 < argc && argv[i + 1][0] != '-')
                o.outputs = std::atoi(argv[++i]);
        } else if (i == 2 && a[0] != '-') {
            o.program = std::atoi(a);
        } else {
            return false;
        }
    }
    return o.program >= 0 && o.program < kProgramCount && (o.outputs == 2 || o.outputs == 4 || o.outputs == 5);
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--export-page")
        return snapshotExportPage(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--help-page")
        return snapshotHelpPage(std::atoi(argv[2]), argv[3]);
    if ((argc == 3 || argc == 4)
        && (std::string(argv[1]) == "--view-3d" || std::string(argv[1]) == "--view-eq"))
        return snapshotView(std::string(argv[1]) == "--view-eq", argv[2], argc == 4 ? std::atoi(argv[3]) : 0);
    Options o;
    if (!parse(argc, argv, o))
        return usage();
    auto plugin = std::make_unique<Instance>();
    PluginCore& core = plugin->core;
    core.setProgram(o.program);
    if (o.playing) {
        // The outputs setting: 0 two, 1 four, 2 five outputs.
        core.setParameter(param::kSurround, o.outputs == 2 ? 0.0f : o.outputs == 4 ? 1.0f : 2.0f);
        core.setSampleRate(44100.0f);
        core.setBlockSize(kBlockFrames);
        core.resume();
    }
    OvintaEditor* editor = &plugin->editor;
    if (!editor->open(nullptr)) {
        std::fprintf(stderr, "editor-snapshot: the editor did not open\n");
        return 1;
    }
    HeadlessWindow* window = editor->getFrame()->getHeadless();
    uint32_t ticks = 1000;
    std::vector<std::vector<float>> buffers(kInputChannelCapacity + kOutputChannelCapacity,
                                           std::vector<float>(kBlockFrames));
    int played = 0;
    auto idle = [&](int steps) {
        for (int step = 0; step < steps; ++step) {
            if (o.playing)
                playBlock(core, ++played, buffers);
            ticks += 40;
            window->setTickCount(ticks);
            editor->idle();
        }
    };
    auto centre = [&](int tag) {
        const CRect r = editor->getControl(tag)->getViewSize();
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // A few timed idle steps, so the screens have drawn and the room traced;
    // while playing, enough for every ray to post and the last burst to ring.
    idle(o.idles > 0 ? o.idles : o.playing ? 30 : 8);
    if (o.mirror) {
        window->click(centre(param::kMirror));
        idle(1);
    }
    if (o.scatter || o.rays) {
        // The same value again: the knob's temporary overlay shows.
        const int knob = o.scatter ? param::kScatter : param::kNumRays;
        core.setParameter(knob, core.getParameter(knob));
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
