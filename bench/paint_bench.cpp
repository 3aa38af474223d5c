// Benchmarks of the window's painting, off screen: one full paint of the
// canvas and of the whole window into an image at heavy load mid-run, and a
// tick with its partial repaint as the event loop delivers it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <string_view>

#include "picture/layout.h"
#include "tests/support/load.h"
#include "ui/common/picture_in_qt.h"
#include "ui/common/text.h"
#include "ui/main_window/canvas.h"
#include "ui/main_window/main_window.h"
#include "ui/window_driver/window_driver.h"

namespace {

using namespace waitline;

// The heavy load, set through the real widgets and warmed up until many
// packets are in flight.
void PrepareHeavyRun(MainWindow& window, WindowDriver& driver)
{
    driver.setTimersAutomatic(false);
    window.load();
    driver.form().clockRandom.seed(1);
    ApplyHeavyLoad([&driver](ComboId box, std::string_view text) { driver.typeText(box, ToQString(text)); },
                   [&driver](ComboId box, std::string_view entry) { driver.chooseEntry(box, ToQString(entry)); });
    driver.clickButton(ButtonId::StartButton);
    WarmUp([&driver] { driver.deliverTimerMove(); }, [&driver] { driver.deliverTimerCheck(); });
}

int VisiblePackets(const WindowDriver& driver)
{
    int visible = 0;
    for (const Packet& p : driver.form().sim.packets) {
        visible += p.Visible ? 1 : 0;
    }
    return visible;
}

void BM_FullPaintCanvas(benchmark::State& state)
{
    MainWindow window;
    WindowDriver driver(window);
    PrepareHeavyRun(window, driver);
    QImage image(ToQt(layout::kClientSize), QImage::Format_RGB32);
    for (auto _ : state) {
        driver.canvas()->render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["packets_visible"] = VisiblePackets(driver);
}
BENCHMARK(BM_FullPaintCanvas)->Unit(benchmark::kMicrosecond);

void BM_FullPaintWindow(benchmark::State& state)
{
    MainWindow window;
    WindowDriver driver(window);
    PrepareHeavyRun(window, driver);
    QImage image(ToQt(layout::kClientSize), QImage::Format_RGB32);
    for (auto _ : state) {
        window.render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["packets_visible"] = VisiblePackets(driver);
}
BENCHMARK(BM_FullPaintWindow)->Unit(benchmark::kMicrosecond);

// One tick at heavy load and the partial repaint it causes, through the
// shown window's backing store.
void BM_TickWithPartialRepaint(benchmark::State& state)
{
    MainWindow window;
    WindowDriver driver(window);
    PrepareHeavyRun(window, driver);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    QCoreApplication::processEvents();
    int ticks = 0;
    for (auto _ : state) {
        driver.deliverTimerMove();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (++ticks == 100) {
            ticks = 0;
            state.PauseTiming();
            driver.deliverTimerCheck();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.counters["packets_visible"] = VisiblePackets(driver);
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
