// Repaint cost of the real editor window (headless): the whole window, and
// the usual timed idle step (the three screens, the meter, the fallback
// trace of 32 units). Reported as a fraction of the editor's 40 ms tick.

#include "editor/EditorBitmaps.h"
#include "editor/OvintaEditor.h"
#include "editor/screens/ExportPage.h"
#include "editor/screens/HelpPages.h"
#include "engine/RoomEngine.h"
#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/COffscreenContext.h"
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

// The export page drawn into the main screen's 408 x 408 picture: its
// background, the four option groups and the "please wait" notice.
void BM_ExportPageDraw(benchmark::State& state)
{
    OpenEditor open;
    CBitmap* background = loadEditorBitmap(bitmap::kExportPage);
    ExportPage page(open.effect->getEngine(), *open.editor, background, "/tmp/OvintaIR_");
    if (background)
        background->forget();
    COffscreenContext picture(ExportPage::kSize, ExportPage::kSize);
    open.effect->getEngine().editorSignals().exportCountdown = 1;
    measure(state, [&] { page.draw(picture); });
    open.effect->getEngine().editorSignals().exportCountdown = 0;
}
BENCHMARK(BM_ExportPageDraw)->Unit(benchmark::kMillisecond);

// One help page (argument: page 0..7) drawn into the 408 x 408 picture.
void BM_HelpPageDraw(benchmark::State& state)
{
    HelpPages help;
    help.open();
    for (int64_t i = 0; i < state.range(0); ++i)
        help.mouseDown(CPoint(0, 0), kLButton);
    COffscreenContext picture(408, 408);
    measure(state, [&] { help.draw(picture); });
}
BENCHMARK(BM_HelpPageDraw)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
