// One refresh of the analysis window at its fullest, off screen: a record fed
// hours of the heavy load, so that the rows are near their capacity, the last
// minute is full and the histogram is filled. Each refresh gets a simulated
// second of new data first, outside the timing, as between two of the
// window's timer events.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string_view>

#include "control/form.h"
#include "tests/support/load.h"
#include "ui/analysis_window/analysis_window.h"

namespace {

using namespace waitline;

// Just under the rows the record holds before it thins them to every 2 s.
constexpr int kSeriesSeconds = static_cast<int>(RunRecord::kRowCapacity) - 400;

void RunSeconds(Form& form, int seconds)
{
    for (int tick = 1; tick <= RunRecord::kTicksPerSecond * seconds; ++tick) {
        DeliverTimerMove(form);
        if (tick % RunRecord::kTicksPerSecond == 0) {
            DeliverTimerCheck(form);
        }
    }
}

// The heavy run and the shown window following it, made once for every
// benchmark: the run takes a few seconds.
struct FullWindow {
    FullWindow()
    {
        FormLoad(form);
        form.clockRandom.seed(1);
        ApplyHeavyLoad([this](ComboId box, std::string_view text) { TypeText(form, box, text); },
                       [this](ComboId box, std::string_view entry) { ChooseEntry(form, box, entry); });
        Click(form, ButtonId::StartButton);
        window = std::make_unique<AnalysisWindow>(form);
        window->show();
        exposed = QTest::qWaitForWindowExposed(window.get());
        RunSeconds(form, kSeriesSeconds);
    }

    Form form;
    std::unique_ptr<AnalysisWindow> window;
    bool exposed = false;
};

// Dropped at the end of main, while the QApplication is still there.
std::unique_ptr<FullWindow>& FullSlot()
{
    static std::unique_ptr<FullWindow> full;
    return full;
}

FullWindow& Full()
{
    std::unique_ptr<FullWindow>& full = FullSlot();
    if (!full) {
        full = std::make_unique<FullWindow>();
    }
    return *full;
}

void NextSecond(benchmark::State& state, FullWindow& full)
{
    state.PauseTiming();
    RunSeconds(full.form, 1);
    state.ResumeTiming();
}

void SetCounters(benchmark::State& state, const FullWindow& full)
{
    state.counters["rows"] = static_cast<double>(full.window->record().rows().size());
    state.counters["served"] = static_cast<double>(full.window->record().measures().served);
}

// The record read into the table and the charts' series and axes.
void BM_AnalysisRefresh(benchmark::State& state)
{
    FullWindow& full = Full();
    for (auto _ : state) {
        NextSecond(state, full);
        full.window->refresh();
    }
    SetCounters(state, full);
}
BENCHMARK(BM_AnalysisRefresh)->Unit(benchmark::kMicrosecond);

// The refresh and the repaint it causes, as the event loop delivers it to
// the shown window: what a refresh costs the program.
void BM_AnalysisRefreshWithRepaint(benchmark::State& state)
{
    FullWindow& full = Full();
    if (!full.exposed) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        NextSecond(state, full);
        full.window->refresh();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    SetCounters(state, full);
}
BENCHMARK(BM_AnalysisRefreshWithRepaint)->Unit(benchmark::kMicrosecond);

// The refresh and a paint of the whole window into an image: the most a
// refresh can cost, when the window has to be drawn afresh as well.
void BM_AnalysisRefreshAndFullPaint(benchmark::State& state)
{
    FullWindow& full = Full();
    QImage image(full.window->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        NextSecond(state, full);
        full.window->refresh();
        full.window->render(&image);
        benchmark::ClobberMemory();
    }
    SetCounters(state, full);
}
BENCHMARK(BM_AnalysisRefreshAndFullPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The window remembers its place; the user's own settings stay untouched.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FullSlot().reset();
    return 0;
}
