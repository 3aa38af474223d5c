// Benchmarks of the window's painting, off screen: one full paint of the
// canvas and of the whole window into an image at heavy load mid-run, and a
// tick with its partial repaint as the event loop delivers it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "ui/canvas.h"
#include "ui/main_window.h"

namespace {

using namespace waitline;

// Heavy load: rates 50 for arrivals and service, both Exponential, queue
// length 10, five servers, run until many packets are in flight.
void PrepareHeavyRun(MainWindow& window)
{
    window.setTimersAutomatic(false);
    window.load();
    window.form().clockRandom.seed(1);
    window.typeText(ComboId::ArrivalCombo, QStringLiteral("50"));
    window.typeText(ComboId::ServeRateCombo, QStringLiteral("50"));
    window.chooseEntry(ComboId::QueueCombo, QStringLiteral("10"));
    window.chooseEntry(ComboId::ServerCombo, QStringLiteral("5"));
    window.clickButton(ButtonId::StartButton);
    for (int tick = 1; tick <= 3000; ++tick) {
        window.deliverTimerMove();
        if (tick % 100 == 0) {
            window.deliverTimerCheck();
        }
    }
}

int VisiblePackets(const MainWindow& window)
{
    int visible = 0;
    for (const Packet& p : window.form().sim.packets) {
        visible += p.Visible ? 1 : 0;
    }
    return visible;
}

void BM_FullPaintCanvas(benchmark::State& state)
{
    MainWindow window;
    PrepareHeavyRun(window);
    QImage image(MainWindow::kWidth, MainWindow::kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        window.canvas()->render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["packets_visible"] = VisiblePackets(window);
}
BENCHMARK(BM_FullPaintCanvas)->Unit(benchmark::kMicrosecond);

void BM_FullPaintWindow(benchmark::State& state)
{
    MainWindow window;
    PrepareHeavyRun(window);
    QImage image(MainWindow::kWidth, MainWindow::kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        window.render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["packets_visible"] = VisiblePackets(window);
}
BENCHMARK(BM_FullPaintWindow)->Unit(benchmark::kMicrosecond);

// One tick at heavy load and the partial repaint it causes, through the
// shown window's backing store.
void BM_TickWithPartialRepaint(benchmark::State& state)
{
    MainWindow window;
    PrepareHeavyRun(window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    QCoreApplication::processEvents();
    int ticks = 0;
    for (auto _ : state) {
        window.deliverTimerMove();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (++ticks == 100) {
            ticks = 0;
            state.PauseTiming();
            window.deliverTimerCheck();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.counters["packets_visible"] = VisiblePackets(window);
}
BENCHMARK(BM_TickWithPartialRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
