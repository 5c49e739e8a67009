// Repaint cost of the plug-in window: the background and ~70 controls drawn
// into the backing store and presented (headless), reported as a fraction
// of the editor's 40 ms tick.

#include "DemoPanel.h"

#include "toolkit/AEffGUIEditor.h"
#include "toolkit/CFrame.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

class BenchEditor : public AEffGUIEditor, public CControlListener {
public:
    BenchEditor()
    {
        setEditorSize(704, 560);
        frame = new CFrame(CRect(0, 0, 704, 560), nullptr, this);
        controls = buildDemoPanel(frame, this);
        frame->idle();
    }
    void valueChanged(CDrawContext*, CControl*) override {}
    int controls = 0;
};

constexpr double kTickSeconds = 0.040;

template <typename Step>
void measure(benchmark::State& state, Step step)
{
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        step();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perRepaint = seconds / static_cast<double>(state.iterations());
    state.counters["tick_fraction"] = perRepaint / kTickSeconds;
}

// Everything: background, every control and screen, the whole window presented.
void BM_FullWindowRepaint(benchmark::State& state)
{
    BenchEditor ed;
    state.counters["controls"] = ed.controls;
    measure(state, [&] {
        markAllDirty(ed.getFrame());
        ed.getFrame()->redrawAll();
    });
}
BENCHMARK(BM_FullWindowRepaint)->Unit(benchmark::kMillisecond);

// A usual timed idle step: the three screens copy their pictures.
void BM_ScreensOnlyRepaint(benchmark::State& state)
{
    BenchEditor ed;
    std::vector<CView*> screens;
    ed.getFrame()->forEachView([&](CView* v) {
        if (v->getWidth() >= 90 && v->getHeight() >= 80)
            screens.push_back(v);
    });
    state.counters["screens"] = static_cast<double>(screens.size());
    measure(state, [&] {
        for (CView* v : screens)
            v->setDirty();
        ed.getFrame()->idle();
    });
}
BENCHMARK(BM_ScreensOnlyRepaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
