// Partial repaints: after any sequence of ticks the window shows exactly what
// a full repaint of the same state shows, while a tick repaints only the
// areas that changed.
#include <QApplication>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <string>
#include <string_view>

#include "tests/support/load.h"
#include "tests/ui/window_fixture.h"
#include "ui/common/text.h"

namespace waitline::test {
namespace {

// Records the areas the canvas is asked to paint.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
    void clear()
    {
        paints = 0;
        painted = QRegion();
    }

    int paints = 0;
    QRegion painted;
};

class RepaintTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        flush();
        driver.canvas()->installEventFilter(&recorder);
        recorder.clear();
    }

    // Delivers every pending update, so the window's buffer holds what the
    // screen would show.
    static void flush()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // The window's pixels as the partial repaints left them.
    QImage shown() const
    {
        return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Flushes the updates, then compares the window's pixels with a full
    // repaint of the same state, pixel by pixel.
    ::testing::AssertionResult showsFullRepaint()
    {
        flush();
        const QImage partial = shown();
        const QImage full = driver.grabClientArea();
        if (partial.size() != full.size()) {
            return ::testing::AssertionFailure() << "window buffer is " << partial.width() << 'x' << partial.height();
        }
        if (partial == full) {
            return ::testing::AssertionSuccess();
        }
        int differing = 0;
        QPoint first;
        for (int y = 0; y < full.height(); ++y) {
            for (int x = 0; x < full.width(); ++x) {
                if (partial.pixel(x, y) != full.pixel(x, y)) {
                    if (differing++ == 0) {
                        first = QPoint(x, y);
                    }
                }
            }
        }
        return ::testing::AssertionFailure()
               << differing << " pixels differ, the first at " << first.x() << ',' << first.y();
    }

    void setHeavyLoad()
    {
        ApplyHeavyLoad(
            [this](ComboId box, std::string_view text) { EXPECT_TRUE(driver.typeText(box, ToQString(text))); },
            [this](ComboId box, std::string_view entry) { EXPECT_TRUE(driver.chooseEntry(box, ToQString(entry))); });
    }

    void place(int i, float left, float top, Rgb colour)
    {
        Packet& p = driver.form().sim.packets[static_cast<std::size_t>(i)];
        p.Left = left;
        p.Top = top;
        p.FillColor = colour;
        p.Visible = true;
    }

    PaintRecorder recorder;
};

TEST_F(RepaintTest, TicksAtBothLoadsShowWhatAFullRepaintShows)
{
    driver.form().clockRandom.seed(7);
    driver.clickButton(ButtonId::StartButton);
    ASSERT_TRUE(showsFullRepaint());
    // Light load: packets drop into the queue, are served and leave along the
    // exit line, or are turned away past the "Lost" bin.
    for (int tick = 1; tick <= 600; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        if (tick % 100 == 0) {
            ASSERT_TRUE(driver.deliverTimerCheck());
        }
        ASSERT_TRUE(showsFullRepaint()) << "light load, tick " << tick;
    }
    // Heavy load: many packets at once, crossing the outline, the boxes, the
    // exit lines and the counters.
    setHeavyLoad();
    ASSERT_TRUE(showsFullRepaint());
    for (int tick = 1; tick <= 600; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        if (tick % 100 == 0) {
            ASSERT_TRUE(driver.deliverTimerCheck());
        }
        ASSERT_TRUE(showsFullRepaint()) << "heavy load, tick " << tick;
    }
    int visible = 0;
    for (const Packet& p : driver.form().sim.packets) {
        visible += p.Visible ? 1 : 0;
    }
    EXPECT_GT(visible, 5) << "the heavy load should keep many packets in flight";
    // One place and one server under the same arrivals: most packets are
    // turned away and fall past the "Lost" label into the bin.
    ASSERT_TRUE(driver.chooseEntry(ComboId::ServerCombo, QStringLiteral("1")));
    ASSERT_TRUE(driver.chooseEntry(ComboId::QueueCombo, QStringLiteral("1")));
    const auto lostBefore = driver.form().sim.PacketsLost;
    for (int tick = 1; tick <= 300; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        ASSERT_TRUE(showsFullRepaint()) << "overload, tick " << tick;
    }
    EXPECT_GT(driver.form().sim.PacketsLost, lostBefore);
}

TEST_F(RepaintTest, PacketsCrossingLabelsLinesAndTheOutlineLeaveNoTrace)
{
    struct Path {
        const char* what;
        QPointF from;
        QPointF step;
    };
    // Each path moves one packet in steps across items in front of it and
    // behind it; the steps include fractions that round both ways.
    const Path paths[] = {
        {"across the mean waiting time and its label", {300, 200}, {16.5F, 2.25F}},
        {"under the time labels at the top left", {-40, -10}, {9.5F, 3.5F}},
        {"along exit line 0", {330, 436}, {16, 0}},
        {"down across the blue outline's top edge", {176, 300}, {0, 16}},
        {"down the left edge into the bin", {32, 360}, {0, 32}},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.what);
        QPointF at = path.from;
        for (int step = 0; step < 12; ++step) {
            place(5, static_cast<float>(at.x()), static_cast<float>(at.y()),
                  {static_cast<std::uint8_t>(20 * step), 120, 250});
            driver.sync();
            ASSERT_TRUE(showsFullRepaint()) << "step " << step;
            at += path.step;
        }
        driver.form().sim.packets[5].Visible = false;
        driver.sync();
        ASSERT_TRUE(showsFullRepaint()) << "after hiding the packet";
    }
}

TEST_F(RepaintTest, LabelCaptionsAndVisibilityRepaintTheirLabels)
{
    DisplayModel& d = driver.form().sim.display;
    const std::string captions[] = {"12345", "7", "", "123456789012", "0"};
    for (const std::string& caption : captions) {
        d.lblPacketsLost.caption = caption;
        d.lblMeanWaitingTime.caption = " " + caption + " s";
        d.lblSeconds.visible = !d.lblSeconds.visible;
        d.lblSeconds.caption = caption;
        driver.sync();
        ASSERT_TRUE(showsFullRepaint()) << '"' << caption << '"';
    }
    // A caption changed while hidden shows when the label shows again.
    d.lblSeconds.visible = false;
    driver.sync();
    d.lblSeconds.caption = "99.99";
    driver.sync();
    ASSERT_TRUE(showsFullRepaint());
    d.lblSeconds.visible = true;
    driver.sync();
    ASSERT_TRUE(showsFullRepaint());
}

TEST_F(RepaintTest, QueueDrawingChangesRepaintTheWholePicture)
{
    driver.form().clockRandom.seed(3);
    driver.clickButton(ButtonId::StartButton);
    setHeavyLoad();
    for (int tick = 0; tick < 300; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
    }
    ASSERT_TRUE(showsFullRepaint());
    recorder.clear();
    ASSERT_TRUE(driver.chooseEntry(ComboId::ServerCombo, QStringLiteral("2")));
    ASSERT_TRUE(showsFullRepaint());
    EXPECT_TRUE(recorder.painted.contains(driver.canvas()->rect()));
    for (int tick = 0; tick < 100; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        ASSERT_TRUE(showsFullRepaint()) << "tick " << tick;
    }
    ASSERT_TRUE(driver.chooseEntry(ComboId::QueueCombo, QStringLiteral("4")));
    ASSERT_TRUE(showsFullRepaint());
    for (int tick = 0; tick < 100; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        ASSERT_TRUE(showsFullRepaint()) << "tick " << tick;
    }
}

TEST_F(RepaintTest, RepaintsOnlyWhatChanged)
{
    place(9, 400, 100, {200, 10, 10});
    driver.sync();
    flush();
    recorder.clear();

    // Nothing changed: nothing is painted.
    driver.sync();
    flush();
    EXPECT_EQ(recorder.paints, 0);

    // One packet steps down: its old and new places are repainted, and no
    // more than a little around them.
    place(9, 400, 116, {200, 10, 10});
    driver.sync();
    flush();
    const QRect moved = QRect(400, 100, 81, 25) | QRect(400, 116, 81, 25);
    EXPECT_GE(recorder.paints, 1);
    EXPECT_TRUE(recorder.painted.contains(moved));
    EXPECT_TRUE(moved.contains(recorder.painted.boundingRect()))
        << "painted " << recorder.painted.boundingRect().width() << 'x' << recorder.painted.boundingRect().height();

    // Only a colour change: the packet's own place.
    recorder.clear();
    place(9, 400, 116, {10, 200, 10});
    driver.sync();
    flush();
    EXPECT_EQ(recorder.painted.boundingRect(), QRect(400, 116, 81, 25));

    // A counter's new caption: that label only.
    recorder.clear();
    driver.form().sim.display.lblPacketsServiced.caption = "42";
    driver.sync();
    flush();
    EXPECT_EQ(recorder.painted.boundingRect(), QRect(280, 456, 137, 41));
    EXPECT_TRUE(showsFullRepaint());
}

}  // namespace
}  // namespace waitline::test
