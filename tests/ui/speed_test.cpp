// The lecture controls: the speed against the wall clock, a single tick while
// paused, and the keys and menu entries that set them.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/busy_run.h"
#include "tests/ui/window_fixture.h"

namespace waitline::test {
namespace {

constexpr double kTick = 0.01;  // simulated seconds

TEST_F(WindowTest, EachSpeedPacesTheTicksAgainstTheWallClock)
{
    struct Case {
        LectureSpeed speed;
        double factor;
        const char* title;
    };
    const Case cases[] = {{LectureSpeed::Quarter, 0.25, "Waitline \u2013 \u00bc\u00d7"},
                          {LectureSpeed::Half, 0.5, "Waitline \u2013 \u00bd\u00d7"},
                          {LectureSpeed::RealTime, 1.0, "Waitline"},
                          {LectureSpeed::Double, 2.0, "Waitline \u2013 2\u00d7"},
                          {LectureSpeed::Quadruple, 4.0, "Waitline \u2013 4\u00d7"}};
    driver.clickButton(ButtonId::StartButton);
    for (const Case& c : cases) {
        driver.setSpeed(c.speed);
        EXPECT_EQ(driver.speed(), c.speed);
        const std::int32_t ticksBefore = driver.form().sim.TickCount;
        const double timeBefore = driver.form().sim.SimTime;
        ASSERT_TRUE(driver.deliverTimerMove());
        const int ticks = driver.form().sim.TickCount - ticksBefore;

        const int interval = driver.timerMove()->interval();
        ASSERT_GT(interval, 0);
        EXPECT_DOUBLE_EQ(1000.0 / interval * ticks, 100.0 * c.factor) << c.title;
        EXPECT_NEAR(driver.form().sim.SimTime - timeBefore, ticks * kTick, 1e-9) << c.title;
        // Each tick is still one of the model's 10 ms, and the check stays on
        // the wall clock.
        EXPECT_EQ(driver.form().sim.display.TimerMove.Interval, 10) << c.title;
        EXPECT_EQ(driver.timerCheck()->interval(), 1000) << c.title;
        EXPECT_EQ(window.windowTitle().toStdString(), c.title);
    }
    driver.setSpeed(LectureSpeed::RealTime);
    EXPECT_EQ(driver.timerMove()->interval(), 10);
}

// All the packets the source may take are on their way out, and the source's
// next arrival, at tick `messageTick`, runs out of packets.
void RunOutOfPacketsAtTick(WindowDriver& driver, int messageTick)
{
    driver.clickButton(ButtonId::StartButton);
    Simulation& sim = driver.form().sim;
    for (int i = 0; i < MaxPacket; ++i) {
        Packet& p = sim.packets[static_cast<std::size_t>(i)];
        p.Visible = true;
        p.PacketState = Pkt::Right;
        p.Left = 600;
        p.Top = 100 + static_cast<float>(i % 10) * 30;
    }
    RecountPacketsAndPlaces(sim);
    sim.source.TimeToNextArrival = (messageTick - 1) * sim.tickInterval();
    driver.sync();
}

TEST(SpeedEvents, AFastEventShowsThePictureOnceAndStopsAtAMessage)
{
    struct Case {
        LectureSpeed speed;
        int messageTick;
        int ticks;  // that the event runs
    };
    const Case cases[] = {{LectureSpeed::Double, 2, 2},
                          {LectureSpeed::Quadruple, 1, 1},
                          {LectureSpeed::Quadruple, 2, 2},
                          {LectureSpeed::Quadruple, 3, 3},
                          {LectureSpeed::Quadruple, 4, 4}};
    for (const Case& c : cases) {
        MainWindow window;
        WindowDriver driver(window);
        driver.setTimersAutomatic(false);
        window.load();
        driver.setSpeed(c.speed);
        RunOutOfPacketsAtTick(driver, c.messageTick);
        const QImage before = driver.grabClientArea();
        const std::int32_t ticksBefore = driver.form().sim.TickCount;

        int messages = 0;
        QImage duringMessage;
        driver.setMessageHandler([&](std::string_view) {
            ++messages;
            duringMessage = driver.grabClientArea();
        });
        EXPECT_TRUE(driver.deliverTimerMove());

        EXPECT_EQ(messages, 1) << c.messageTick;
        EXPECT_EQ(driver.form().sim.TickCount - ticksBefore, c.ticks) << c.messageTick;
        // The ticks before the message were not shown on their own.
        EXPECT_TRUE(duringMessage == before) << "tick " << c.messageTick;
        // The event's last tick is shown once it is over.
        const QImage after = driver.grabClientArea();
        EXPECT_FALSE(after == before) << c.messageTick;
        driver.sync();
        EXPECT_TRUE(driver.grabClientArea() == after) << c.messageTick;
    }
}

TEST(SpeedEvents, PauseEndsTheFastTicksButStopLetsThemRunOn)
{
    struct Case {
        const char* name;
        std::vector<ButtonId> presses;
        int ticks;  // in the next event
    };
    // Stop ends the arrivals only: the packets finish and the clock runs on,
    // at real time and at four ticks an event alike.
    const Case cases[] = {{"running", {ButtonId::StartButton}, 4},
                          {"paused", {ButtonId::StartButton, ButtonId::PauseButton}, 0},
                          {"stopped", {ButtonId::StartButton, ButtonId::StartButton}, 4},
                          {"continued", {ButtonId::PauseButton, ButtonId::PauseButton}, 4}};
    for (const Case& c : cases) {
        MainWindow window;
        WindowDriver driver(window);
        driver.setTimersAutomatic(false);
        window.load();
        driver.setSpeed(LectureSpeed::Quadruple);
        for (const ButtonId press : c.presses) {
            driver.clickButton(press);
        }
        const std::int32_t before = driver.form().sim.TickCount;
        EXPECT_EQ(driver.deliverTimerMove(), c.ticks > 0) << c.name;
        EXPECT_EQ(driver.form().sim.TickCount - before, c.ticks) << c.name;
    }
}

using waitline::test::StartBusyRun;

// The same busy run in the window and in a window-free Form.
void StartBusyRun(WindowDriver& driver, Form& twin)
{
    StartBusyRun(twin);
    driver.form().clockRandom.seed(kBusyRunSeed);
    for (const BusyRunEntry& e : kBusyRunEntries) {
        const QString entry = QString::fromLatin1(e.entry);
        ASSERT_TRUE(e.typed ? driver.typeText(e.box, entry) : driver.chooseEntry(e.box, entry));
    }
    driver.clickButton(ButtonId::StartButton);
    // On until a packet is on its way, so that the next tick moves it on screen.
    const auto onItsWay = [](const Simulation& sim) {
        for (const Packet& p : sim.packets) {
            if (p.Visible && p.PacketState != Pkt::Queueing && p.PacketState != Pkt::Serving) {
                return true;
            }
        }
        return false;
    };
    for (int k = 0; k < 300 || !onItsWay(twin.sim); ++k) {
        ASSERT_TRUE(driver.deliverTimerMove());
        ASSERT_TRUE(DeliverTimerMove(twin));
    }
    ASSERT_EQ(TickState(driver.form().sim), TickState(twin.sim));
}

TEST(SpeedStep, WhilePausedIsOneTickShownAtOnceAtEverySpeed)
{
    for (const LectureSpeed speed : {LectureSpeed::Quarter, LectureSpeed::RealTime, LectureSpeed::Quadruple}) {
        const std::string name(SpeedName(speed));
        MainWindow window;
        WindowDriver driver(window);
        driver.setTimersAutomatic(false);
        window.load();
        Form twin;
        StartBusyRun(driver, twin);
        driver.clickButton(ButtonId::PauseButton);
        driver.setSpeed(speed);
        const std::vector<std::string> packetsBefore = TickState(driver.form().sim);
        const double timeBefore = driver.form().sim.SimTime;
        const QImage before = driver.grabClientArea();

        EXPECT_TRUE(driver.stepOnce()) << name;
        ASSERT_TRUE(DeliverTimerMove(twin));

        const Simulation& sim = driver.form().sim;
        EXPECT_NEAR(sim.SimTime - timeBefore, kTick, 1e-9) << name;
        EXPECT_EQ(sim.SimTime, twin.sim.SimTime) << name;
        EXPECT_EQ(sim.TickCount, twin.sim.TickCount) << name;
        EXPECT_NE(TickState(sim), packetsBefore) << name << ": nothing moved in the step";
        EXPECT_EQ(TickState(sim), TickState(twin.sim)) << name;
        // The picture already shows the step: showing the model again changes nothing.
        const QImage after = driver.grabClientArea();
        EXPECT_FALSE(after == before) << name;
        driver.sync();
        EXPECT_TRUE(driver.grabClientArea() == after) << name;
        // And the run is still paused.
        EXPECT_EQ(driver.button(ButtonId::PauseButton)->text(), QStringLiteral("Continue")) << name;
        EXPECT_FALSE(driver.deliverTimerMove()) << name;
        EXPECT_EQ(sim.TickCount, twin.sim.TickCount) << name;
    }
}

TEST_F(WindowTest, AStepDoesNothingUnlessPaused)
{
    driver.setSpeed(LectureSpeed::Quadruple);
    for (const bool started : {false, true}) {
        if (started) {
            driver.clickButton(ButtonId::StartButton);
        }
        const std::int32_t ticks = driver.form().sim.TickCount;
        const double time = driver.form().sim.SimTime;
        EXPECT_FALSE(driver.stepOnce()) << started;
        EXPECT_EQ(driver.form().sim.TickCount, ticks) << started;
        EXPECT_EQ(driver.form().sim.SimTime, time) << started;
    }
}

class ShownSpeedTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // The context menu as a right click on the picture opens it.
    QMenu* openContextMenu()
    {
        const QPoint inPicture(400, 300);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inPicture, driver.canvas()->mapToGlobal(inPicture));
        QApplication::sendEvent(driver.canvas(), &rightClick);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
};

TEST_F(ShownSpeedTest, LectureKeysLeaveTypingInAnEditableBoxAlone)
{
    ChoiceComboBox* box = driver.combo(ComboId::ArrivalCombo);
    QLineEdit* edit = box->lineEdit();
    box->setFocus(Qt::TabFocusReason);
    QWidget* const focus = QApplication::focusWidget();
    ASSERT_TRUE(focus == box || focus == edit);
    edit->selectAll();
    QTest::keyClicks(focus, QStringLiteral("0.5"));
    ASSERT_EQ(edit->text(), QStringLiteral("0.5"));

    struct Key {
        Qt::Key key;
        LectureSpeed speed;
    };
    const Key speedKeys[] = {{Qt::Key_Plus, LectureSpeed::Double},    {Qt::Key_Equal, LectureSpeed::Quadruple},
                             {Qt::Key_Plus, LectureSpeed::Quadruple}, {Qt::Key_Minus, LectureSpeed::Double},
                             {Qt::Key_Minus, LectureSpeed::RealTime}, {Qt::Key_Minus, LectureSpeed::Half},
                             {Qt::Key_Minus, LectureSpeed::Quarter},  {Qt::Key_Minus, LectureSpeed::Quarter},
                             {Qt::Key_0, LectureSpeed::RealTime}};
    for (const Key& k : speedKeys) {
        press(k.key, Qt::ControlModifier);
        EXPECT_EQ(driver.speed(), k.speed) << "Ctrl+" << QKeySequence(k.key).toString().toStdString();
        EXPECT_EQ(edit->text(), QStringLiteral("0.5"));
        EXPECT_EQ(QApplication::focusWidget(), focus);
    }

    // Ctrl+. steps only while paused, and types nothing either way.
    const std::int32_t ticks = driver.form().sim.TickCount;
    press(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(driver.form().sim.TickCount, ticks);
    driver.clickButton(ButtonId::PauseButton);
    press(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(driver.form().sim.TickCount, ticks + 1);
    EXPECT_EQ(edit->text(), QStringLiteral("0.5"));

    // The editing keys still edit.
    press(Qt::Key_Home);
    press(Qt::Key_1);
    EXPECT_EQ(edit->text(), QStringLiteral("10.5"));
    press(Qt::Key_End);
    press(Qt::Key_Backspace);
    press(Qt::Key_Left);
    press(Qt::Key_Plus);
    press(Qt::Key_Equal);
    press(Qt::Key_Minus);
    press(Qt::Key_0);
    press(Qt::Key_Period);
    EXPECT_EQ(edit->text(), QStringLiteral("10+=-0.."));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_2);
    EXPECT_EQ(edit->text(), QStringLiteral("2"));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("10+=-0.."));
    EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, "10+=-0..");
    EXPECT_EQ(driver.speed(), LectureSpeed::RealTime);
    EXPECT_EQ(driver.form().sim.TickCount, ticks + 1);
}

TEST_F(ShownSpeedTest, ContextMenuOffersTheSpeedsAndAStepWhilePaused)
{
    driver.clickButton(ButtonId::StartButton);
    QMenu* menu = openContextMenu();
    ASSERT_NE(menu, nullptr);
    QAction* speedEntry = EntryNamed(menu->actions(), QStringLiteral("Speed"));
    ASSERT_NE(speedEntry, nullptr);
    ASSERT_NE(speedEntry->menu(), nullptr);
    const QMenu& speeds = *speedEntry->menu();

    std::vector<std::string> checkable;
    std::vector<std::string> checked;
    for (QAction* action : speeds.actions()) {
        if (action->isCheckable()) {
            checkable.push_back(action->text().toStdString());
            if (action->isChecked()) {
                checked.push_back(action->text().toStdString());
            }
        }
    }
    EXPECT_EQ(checkable, (std::vector<std::string>{"\u00bc\u00d7", "\u00bd\u00d7", "1\u00d7", "2\u00d7", "4\u00d7"}));
    EXPECT_EQ(checked, std::vector<std::string>{"1\u00d7"});

    QAction* step = EntryNamed(menu->actions(), QStringLiteral("Step"));
    ASSERT_NE(step, nullptr);
    EXPECT_FALSE(step->isEnabled()) << "Step while running";
    EntryNamed(speeds.actions(), QStringLiteral("4\u00d7"))->trigger();
    EXPECT_EQ(driver.speed(), LectureSpeed::Quadruple);
    EXPECT_EQ(driver.timerMove()->interval(), 10);
    EXPECT_FALSE(EntryNamed(speeds.actions(), QStringLiteral("Faster"))->isEnabled());
    EntryNamed(speeds.actions(), QStringLiteral("Slower"))->trigger();
    EXPECT_EQ(driver.speed(), LectureSpeed::Double);
    EXPECT_TRUE(EntryNamed(speeds.actions(), QStringLiteral("2\u00d7"))->isChecked());
    menu->hide();

    // Greyed in the menu while running, yet its key works once paused.
    driver.clickButton(ButtonId::PauseButton);
    const std::int32_t ticks = driver.form().sim.TickCount;
    press(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(driver.form().sim.TickCount, ticks + 1);

    menu = openContextMenu();
    ASSERT_NE(menu, nullptr);
    step = EntryNamed(menu->actions(), QStringLiteral("Step"));
    EXPECT_TRUE(step->isEnabled()) << "Step while paused";
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(step).center());
    EXPECT_EQ(driver.form().sim.TickCount, ticks + 2);
    EXPECT_EQ(driver.speed(), LectureSpeed::Double);
}

}  // namespace
}  // namespace waitline::test
