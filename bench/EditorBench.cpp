// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint cost of the real editor window (headless): the whole window, and
// the usual timed idle step (the three screens, the meter, the fallback
// trace of 32 units), reported as a fraction of the editor's 40 ms tick;
// and the draws of single screens and of the main screen's pages and views.

#include "editor/EditorBitmaps.h"
#include "editor/EditorEqLink.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/OVEqView.h"
#include "editor/screens/OVExportPage.h"
#include "editor/screens/OVHelpPages.h"
#include "editor/screens/OVImpulseScreen.h"
#include "editor/screens/OVMeterScreen.h"
#include "editor/screens/OVRoom3DView.h"
#include "engine/RoomEngine.h"
#include "editor/screens/OVAnimScreen.h"
#include "toolkit/COffscreenContext.h"
#include "core/DirectEditorPort.h"
#include "core/PluginCore.h"
#include "core/StandaloneEditorHost.h"
#include "model/Parameters.h"
#include "resources/EditorLayout.h"
#include "tests/RoomEngineTestAccess.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "tests/AllocationCount.h"

namespace ovinta {

namespace {

constexpr double kTickSeconds = 0.040;

// The plug-in without a host: the core and its editor.
struct Instance {
    PluginCore core;
    StandaloneEditorHost host{core};
    OvintaEditor editor{std::make_unique<DirectEditorPort>(core), host};
};

struct OpenEditor {
    OpenEditor() : plugin(std::make_unique<Instance>()), effect(&plugin->core)
    {
        editor = &plugin->editor;
        editor->open(nullptr);
        window = editor->getFrame()->getHeadless();
        step();
    }
    void step()
    {
        ticks += 40;
        window->setTickCount(ticks);
        editor->idle();
    }
    std::unique_ptr<Instance> plugin;
    PluginCore* effect = nullptr; // the core, as a host drives it
    OvintaEditor* editor = nullptr;
    HeadlessWindow* window = nullptr;
    uint32_t ticks = 1000;
};

template <typename Step>
void measure(benchmark::State& state, Step step)
{
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        step();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["tick_fraction"] = seconds / static_cast<double>(state.iterations()) / kTickSeconds;
}

// Background, every control, display and screen, the whole window presented.
void BM_EditorFullRepaint(benchmark::State& state)
{
    OpenEditor open;
    CFrame* frame = open.editor->getFrame();
    measure(state, [&] {
        frame->forEachView([](CView* v) { v->setDirty(); });
        frame->redrawAll();
    });
}
BENCHMARK(BM_EditorFullRepaint)->Unit(benchmark::kMillisecond);

// One timed idle step with the host stopped: trace 32 units, redraw the
// screens and present them.
void BM_EditorTimedIdleStep(benchmark::State& state)
{
    OpenEditor open;
    measure(state, [&] { open.step(); });
}
BENCHMARK(BM_EditorTimedIdleStep)->Unit(benchmark::kMillisecond);

// One 3D picture of a full room (256 walls): projection, painter's sort and
// drawing, as every tick while the 3D view is shown.
void BM_Room3DViewFullRoom(benchmark::State& state)
{
    OpenEditor open;
    RoomEngine& engine = open.effect->engine();
    std::mt19937 random(3);
    std::uniform_int_distribution<int> metre(0, 50);
    std::vector<Wall> walls;
    for (int i = 0; i < kMaxWalls; ++i)
        walls.push_back(makeWall(metre(random), metre(random), metre(random), metre(random)));
    engine.setActiveWalls(walls.data(), kMaxWalls);
    CBitmap* background = loadEditorBitmap(bitmap::k3DBackground);
    OVRoom3DView view(open.editor->getPort(), background);
    COffscreenContext picture(OVRoom3DView::kSize, OVRoom3DView::kSize);
    view.draw(picture);
    for (auto _ : state)
        view.draw(picture);
    state.counters["faces_drawn"] = static_cast<double>(view.drawOrder().size());
    if (background)
        background->forget();
}
BENCHMARK(BM_Room3DViewFullRoom)->Unit(benchmark::kMillisecond);

// One EQ-view picture: the analysis of the four bands and the curve,
// markers and labels.
void BM_EqViewRedraw(benchmark::State& state)
{
    OpenEditor open;
    EditorEqLink link(open.editor->getPort(), open.plugin->host, *open.editor);
    CBitmap* background = loadEditorBitmap(bitmap::kEqBackground);
    CBitmap* digits = loadEditorBitmap(bitmap::kBandDigits);
    OVEqView view(open.editor->getPort(), link, background, digits);
    COffscreenContext picture(OVEqView::kSize, OVEqView::kSize);
    for (auto _ : state)
        view.draw(picture);
    for (CBitmap* b : {background, digits})
        if (b)
            b->forget();
}
BENCHMARK(BM_EqViewRedraw)->Unit(benchmark::kMillisecond);

// The impulse screen's costliest draw: a pass starts (both panels repainted)
// and 32 rays are drawn, each a bar of full height in both panels.
void BM_ImpulseScreenPassStart(benchmark::State& state)
{
    OpenEditor open;
    RoomEngine& engine = open.effect->engine();
    RoomEngineTestAccess::values(engine).activeRays = OVImpulseScreen::kRaysPerDraw;
    for (int k = 0; k < OVImpulseScreen::kRaysPerDraw; ++k) {
        RaySlot& slot = engine.raySlots()[k];
        slot.pendingTap.delay = -2000 * k;
        for (float& gain : slot.pendingTap.gain)
            gain = 0.05f;
        slot.pendingTap.hiFreq = 1.0f;
    }
    auto* screen = dynamic_cast<OVImpulseScreen*>(open.editor->getControl(param::kImpulseScreen));
    CDrawContext* window = open.editor->getFrame()->getBackingStore();
    for (auto _ : state) {
        engine.raySlots()[0].posted = 1;
        screen->draw(window);
    }
}
BENCHMARK(BM_ImpulseScreenPassStart)->Unit(benchmark::kMicrosecond);

// One meter draw with five outputs, every fan and level shown.
void BM_MeterScreenDraw(benchmark::State& state)
{
    OpenEditor open;
    open.effect->setParameter(param::kSurround, 2.0f);
    open.step();
    RoomEngine& engine = open.effect->engine();
    auto* screen = dynamic_cast<OVMeterScreen*>(open.editor->getControl(param::kMeterScreen));
    CDrawContext* window = open.editor->getFrame()->getBackingStore();
    for (auto _ : state) {
        for (int k = 0; k < kOutputRoles; ++k)
            RoomEngineTestAccess::values(engine).outputPeak[k] = 0.3f;
        screen->draw(window);
    }
}
BENCHMARK(BM_MeterScreenDraw)->Unit(benchmark::kMicrosecond);
// The export page drawn into the main screen's 408 x 408 picture: its
// background, the four option groups and the "please wait" notice.
void BM_ExportPageDraw(benchmark::State& state)
{
    OpenEditor open;
    CBitmap* background = loadEditorBitmap(bitmap::kExportPage);
    OVExportPage page(open.editor->getPort(), *open.editor, background, "/tmp/OvintaIR_");
    if (background)
        background->forget();
    COffscreenContext picture(OVExportPage::kSize, OVExportPage::kSize);
    open.effect->engine().editorSignals().exportCountdown = 1;
    measure(state, [&] { page.draw(picture); });
    open.effect->engine().editorSignals().exportCountdown = 0;
}
BENCHMARK(BM_ExportPageDraw)->Unit(benchmark::kMillisecond);

// One help page (argument: page 0..7) drawn into the 408 x 408 picture.
void BM_HelpPageDraw(benchmark::State& state)
{
    OVHelpPages help;
    help.open();
    for (int64_t i = 0; i < state.range(0); ++i)
        help.mouseDown(CPoint(0, 0), kLButton);
    COffscreenContext picture(408, 408);
    measure(state, [&] { help.draw(picture); });
}
BENCHMARK(BM_HelpPageDraw)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
// The edit view of a room of 256 walls (the most the lists hold), with the
// MIRROR line shown: its static picture redrawn (grid and every wall, as
// after an edit), or only the per-tick overlay over the cached picture with
// the ray-count spokes of 512 rays. Times in ms; the editor's GUI thread
// has 40 ms per tick.
struct FullEditView : OpenEditor {
    FullEditView() : target(704, 560)
    {
        RoomEngine& engine = effect->engine();
        while (engine.copyWalls(scratch) > 0)
            engine.deleteWall(0);
        for (int i = 0; i < kMaxWalls; ++i) {
            const int x = (i * 7) % 49, y = (i * 13) % 49;
            engine.insertWall(x, y, x + 1 + i % 3, y + 1 + (i / 3) % 3);
        }
        effect->setParameter(param::kMirror, 1.0f);
        effect->setParameter(param::kNumRays, 1.0f); // 512 rays
        step();
        screen = editor->getMainScreen();
    }
    void draw(bool rebuild, bool spokes)
    {
        EditorSignals& signals = effect->engine().editorSignals();
        if (rebuild)
            signals.viewDirty = true;
        if (spokes) {
            signals.tempViewMode = kTempViewRays;
            signals.tempViewTicks = 10;
        }
        screen->draw(&target);
    }
    Wall scratch[kMaxWalls];
    COffscreenContext target;
    OVAnimScreen* screen = nullptr;
};

template <typename Step>
void measureFrames(benchmark::State& state, Step step)
{
    step(); // first draw outside the count
    const long before = countingallocator::allocations.load();
    for (auto _ : state)
        step();
    state.counters["allocations_per_frame"] =
        static_cast<double>(countingallocator::allocations.load() - before) / static_cast<double>(state.iterations());
}

void BM_EditViewFullRedraw256Walls(benchmark::State& state)
{
    FullEditView view;
    measureFrames(state, [&] { view.draw(true, false); });
}
BENCHMARK(BM_EditViewFullRedraw256Walls)->Unit(benchmark::kMillisecond);

void BM_EditViewOverlayTick(benchmark::State& state)
{
    FullEditView view;
    measureFrames(state, [&] { view.draw(false, true); });
}
BENCHMARK(BM_EditViewOverlayTick)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ovinta

BENCHMARK_MAIN();
