// Repaint cost of the real editor window (headless): the whole window, and
// the usual timed idle step (the three screens, the meter, the fallback
// trace of 32 units). Reported as a fraction of the editor's 40 ms tick.

#include "editor/OvintaEditor.h"
#include "editor/screens/OVAnimScreen.h"
#include "engine/RoomEngine.h"
#include "model/Parameters.h"
#include "toolkit/COffscreenContext.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "AllocationCounter.h"

namespace {

constexpr double kTickSeconds = 0.040;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct OpenEditor {
    OpenEditor() : effect(createEffectWithEditor(&quietHost))
    {
        editor = dynamic_cast<OvintaEditor*>(effect->getEditor());
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
    std::unique_ptr<EffectVST> effect;
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

// The edit view of a room of 256 walls (the most the lists hold), with the
// MIRROR line shown: its static picture redrawn (grid and every wall, as
// after an edit), or only the per-tick overlay over the cached picture with
// the ray-count spokes of 512 rays. Times in ms; the editor's GUI thread
// has 40 ms per tick.
struct FullEditView : OpenEditor {
    FullEditView() : target(704, 560)
    {
        RoomEngine& engine = editor->getEngine();
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
        EditorSignals& signals = editor->getEngine().editorSignals();
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
    const long before = allocationCount();
    for (auto _ : state)
        step();
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocationCount() - before) / static_cast<double>(state.iterations());
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

BENCHMARK_MAIN();
