// Repaint cost of the real editor window (headless): the whole window, and
// the usual timed idle step (the three screens, the meter, the fallback
// trace of 32 units). Reported as a fraction of the editor's 40 ms tick.

#include "editor/OvintaEditor.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

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

} // namespace

BENCHMARK_MAIN();
