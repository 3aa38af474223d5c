// What the window-level tick allocates: the window's own part of a tick
// (copying the display model into the widgets and marking the changed areas)
// allocates nothing; what is left belongs to Qt's update machinery.
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/alloc/counting_allocator.h"
#include "ui/main_window/canvas.h"
#include "ui/main_window/main_window.h"
#include "ui/window_driver/window_driver.h"

namespace waitline {
namespace {

using alloc::AllocationsDuring;

// Counts the canvas's paint events.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

class WindowAllocations : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.setTimersAutomatic(false);
        window.load();
        driver.form().clockRandom.seed(4);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        driver.clickButton(ButtonId::StartButton);
        for (int tick = 1; tick <= 3000; ++tick) {
            tickAndPaint(tick);
        }
    }

    std::size_t tickAndPaint(int tick)
    {
        const std::size_t inTick = AllocationsDuring([&] { driver.deliverTimerMove(); });
        if (tick % 100 == 0) {
            // The once-a-second check is a tick of its own kind; it shows the
            // statistics and may allocate while formatting them into Qt text.
            driver.deliverTimerCheck();
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return inTick;
    }

    MainWindow window;
    WindowDriver driver{window};
};

TEST_F(WindowAllocations, SyncWithoutChangesAllocatesNothing)
{
    // A tick's model changes are already shown: syncing again must only
    // compare, at every stage of a run.
    for (int round = 0; round < 200; ++round) {
        tickAndPaint(round + 1);
        EXPECT_EQ(AllocationsDuring([&] { driver.sync(); }), 0U) << "round " << round;
    }
    driver.clickButton(ButtonId::PauseButton);
    EXPECT_EQ(AllocationsDuring([&] { driver.sync(); }), 0U) << "paused";
}

TEST_F(WindowAllocations, TicksThatRepaintNothingAllocateNothing)
{
    // At the start-up defaults a tick's allocations are Qt's: the region and
    // the update request of QWidget::update(), 1.17 a tick on average, as
    // about two ticks in five repaint something. The bound leaves a little
    // room for how Qt grows its regions, yet one allocation of our own on
    // each tick that repaints lifts the average to about 1.56, and one on
    // every tick to 2.17.
    std::size_t defaults = 0;
    for (int tick = 1; tick <= 1000; ++tick) {
        defaults += tickAndPaint(tick);
    }
    const double perTick = static_cast<double>(defaults) / 1000.0;
    std::printf("window tick at the start-up defaults: %.2f allocations per tick over 1000 ticks\n", perTick);
    EXPECT_LE(perTick, 1.4);

    // Rare arrivals leave many ticks in which nothing on screen changes: the
    // clock's caption changes, but its label is hidden while running.
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("0.1")));
    for (int tick = 1; tick <= 1500; ++tick) {
        tickAndPaint(tick);
    }
    PaintCounter counter;
    driver.canvas()->installEventFilter(&counter);
    std::size_t quietTicks = 0;
    std::size_t quietAllocations = 0;
    for (int tick = 1; tick <= 1000; ++tick) {
        counter.paints = 0;
        const std::size_t n = tickAndPaint(tick);
        if (counter.paints == 0) {
            ++quietTicks;
            quietAllocations += n;
        }
    }
    ASSERT_GT(quietTicks, 100U) << "rare arrivals should leave the screen unchanged on many ticks";
    EXPECT_EQ(quietAllocations, 0U) << "over " << quietTicks << " ticks that repainted nothing";
}

}  // namespace
}  // namespace waitline
