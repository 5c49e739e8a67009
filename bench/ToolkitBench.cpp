// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint cost of the plug-in window: the background and ~70 controls drawn
// into the backing store and presented (headless), reported as a fraction
// of the editor's 40 ms tick.

#include "DemoPanel.h"

#include "toolkit/WindowEditor.h"
#include "toolkit/CFrame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace ovinta {

namespace {

class BenchEditor : public WindowEditor, public CControlListener {
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

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Reports the repaint's share of a tick twice: in elapsed time, and in the
// GUI thread's own processor time (steadier on a busy machine).
template <typename Step>
void measure(benchmark::State& state, Step step)
{
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        step();
        cpuSeconds += threadCpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["tick_fraction"] = seconds / n / kTickSeconds;
    state.counters["cpu_tick_fraction"] = cpuSeconds / n / kTickSeconds;
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

} // namespace ovinta

BENCHMARK_MAIN();
