// Keyboard focus, the combo boxes' event rules with real key events, and the
// rule that no handler runs inside another.
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "tests/ui/window_fixture.h"

namespace waitline::test {
namespace {

class ShownWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(ShownWindowTest, TabVisitsControlsInOrderStartingOnSourceCombo)
{
    const char* const order[] = {"SourceCombo",  "ServiceCombo",   "ServerCombo", "QueueCombo", "PauseButton",
                                 "ArrivalCombo", "ServeRateCombo", "StartButton", "SourceCombo"};
    for (const char* name : order) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // An editable box's line edit holds the focus on the box's behalf.
        if (qobject_cast<QLineEdit*>(focus) != nullptr && focus->parentWidget() != nullptr) {
            focus = focus->parentWidget();
        }
        EXPECT_EQ(focus->objectName().toStdString(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

class ComboEventsTest : public ShownWindowTest {
protected:
    QComboBox* combo(ComboId id) { return driver.combo(id); }
    std::string modelText(ComboId id) { return Combo(driver.form().sim.display, id).text; }

    // Puts the focus in the box and selects its whole text, as a user would
    // before typing over it.
    void focusAndSelectAll(ComboId id)
    {
        QComboBox* box = combo(id);
        box->setFocus(Qt::TabFocusReason);
        box->lineEdit()->selectAll();
    }
};

TEST_F(ComboEventsTest, TypingChangesOnlyTheTextWithoutCompletion)
{
    struct Case {
        ComboId id;
        const char* typed;
    };
    // "0" is the start of the entries "0.1", "0.2" and "0.5"; "1" of "10".
    const Case cases[] = {{ComboId::ArrivalCombo, "0"},
                          {ComboId::ServeRateCombo, "0."},
                          {ComboId::QueueCombo, "1"},
                          {ComboId::ServerCombo, "abc"}};
    for (const Case& c : cases) {
        QSignalSpy chosen(driver.combo(c.id), &ChoiceComboBox::chosen);
        const int entries = combo(c.id)->count();
        const auto queueLength = driver.form().sim.QueueLength;
        focusAndSelectAll(c.id);
        QTest::keyClicks(combo(c.id), QString::fromLatin1(c.typed));
        EXPECT_EQ(combo(c.id)->currentText().toStdString(), c.typed);
        EXPECT_EQ(modelText(c.id), c.typed);
        EXPECT_EQ(chosen.count(), 0);
        EXPECT_EQ(combo(c.id)->count(), entries);
        EXPECT_EQ(driver.form().sim.QueueLength, queueLength);
    }
}

TEST_F(ComboEventsTest, EnterAndLeavingTheBoxRunNoHandlerAndInsertNothing)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab}) {
        for (const char* typed : {"5", "7x"}) {
            QSignalSpy chosen(driver.combo(ComboId::QueueCombo), &ChoiceComboBox::chosen);
            const int entries = combo(ComboId::QueueCombo)->count();
            focusAndSelectAll(ComboId::QueueCombo);
            QTest::keyClicks(combo(ComboId::QueueCombo), QString::fromLatin1(typed));
            QTest::keyClick(combo(ComboId::QueueCombo), key);
            QCoreApplication::processEvents();
            EXPECT_EQ(chosen.count(), 0) << typed << " then key " << key;
            EXPECT_EQ(combo(ComboId::QueueCombo)->count(), entries);
            // The queue length is applied only by the box's handler.
            EXPECT_EQ(driver.form().sim.QueueLength, 3);
            EXPECT_EQ(modelText(ComboId::QueueCombo), typed);
        }
    }
}

TEST_F(ComboEventsTest, ChoosingFromTheListRunsTheHandlerOnce)
{
    QComboBox* box = combo(ComboId::QueueCombo);
    QSignalSpy chosen(driver.combo(ComboId::QueueCombo), &ChoiceComboBox::chosen);
    const int index = box->findText(QStringLiteral("5"));
    ASSERT_GE(index, 0);
    // What the opened list does when the user clicks an entry.
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_EQ(driver.form().sim.QueueLength, 5);
    EXPECT_EQ(driver.form().sim.display.drawing.shpFIFOTop, 296.0F);
    EXPECT_EQ(box->currentText(), QStringLiteral("5"));

    // The same through the tool's entry point, on a list-only box.
    ASSERT_TRUE(driver.chooseEntry(ComboId::SourceCombo, QStringLiteral("Uniform")));
    EXPECT_EQ(modelText(ComboId::SourceCombo), "Uniform");
    EXPECT_EQ(combo(ComboId::SourceCombo)->currentText(), QStringLiteral("Uniform"));
    EXPECT_FALSE(driver.chooseEntry(ComboId::SourceCombo, QStringLiteral("uniform")));
}

TEST_F(ComboEventsTest, ProgramChangesRunNoHandler)
{
    QSignalSpy chosen(driver.combo(ComboId::ServerCombo), &ChoiceComboBox::chosen);
    QSignalSpy edited(driver.combo(ComboId::ServerCombo)->lineEdit(), &QLineEdit::textEdited);
    auto& display = driver.form().sim.display;
    display.ServerCombo.list = {"1", "2"};
    display.ServerCombo.text = "2";
    driver.sync();
    EXPECT_EQ(combo(ComboId::ServerCombo)->count(), 2);
    EXPECT_EQ(combo(ComboId::ServerCombo)->currentText(), QStringLiteral("2"));
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(driver.form().sim.NumServers, 1);
}

TEST_F(WindowTest, ToolEntryPointsGoThroughTheWidgets)
{
    EXPECT_FALSE(driver.typeText(ComboId::SourceCombo, QStringLiteral("Regular")));
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("2.5")));
    EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, "2.5");
    EXPECT_EQ(driver.combo(ComboId::ArrivalCombo)->currentText(), QStringLiteral("2.5"));
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QString()));
    EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, "");

    driver.clickButton(ButtonId::PauseButton);
    EXPECT_EQ(driver.button(ButtonId::PauseButton)->text(), QStringLiteral("Continue"));
    EXPECT_FALSE(driver.deliverTimerMove());
    driver.clickButton(ButtonId::PauseButton);
    EXPECT_EQ(driver.button(ButtonId::PauseButton)->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(driver.deliverTimerMove());
    EXPECT_TRUE(driver.deliverTimerCheck());
}

// Fills every packet the source may take, so its next arrival runs out.
void ExhaustPackets(WindowDriver& driver)
{
    driver.clickButton(ButtonId::StartButton);
    Simulation& sim = driver.form().sim;
    for (int i = 0; i < MaxPacket; ++i) {
        Packet& p = sim.packets[static_cast<std::size_t>(i)];
        p.Visible = true;
        p.PacketState = Pkt::Right;
        p.Left = 700;
        p.Top = 100;
    }
    RecountPacketsAndPlaces(sim);
    sim.source.TimeToNextArrival = 0;
}

TEST_F(WindowTest, NothingRunsWhileTheMessageIsShown)
{
    ExhaustPackets(driver);
    std::vector<std::string> messages;
    struct Inside {
        bool tick = true, check = true, load = true;
        double simTime = -1;
    } inside;
    driver.setMessageHandler([&](std::string_view text) {
        messages.emplace_back(text);
        inside.simTime = driver.form().sim.SimTime;
        inside.tick = driver.deliverTimerMove();
        inside.check = driver.deliverTimerCheck();
        driver.clickButton(ButtonId::StartButton);
        driver.chooseEntry(ComboId::QueueCombo, QStringLiteral("7"));
        EXPECT_TRUE(driver.handlerRunning());
    });
    EXPECT_TRUE(driver.deliverTimerMove());
    ASSERT_EQ(messages, std::vector<std::string>{"Silly Error: Ran Out of Packets"});
    EXPECT_FALSE(inside.tick);
    EXPECT_FALSE(inside.check);
    EXPECT_EQ(driver.form().sim.display.StartButton, "Stop");
    EXPECT_EQ(driver.form().sim.QueueLength, 3);
    EXPECT_FALSE(driver.handlerRunning());
    // Once the message is gone, events run again.
    EXPECT_TRUE(driver.deliverTimerMove());
    EXPECT_TRUE(driver.deliverTimerCheck());
}

TEST(MessageGuard, RealTimersDoNotTickWhileTheMessageIsShown)
{
    MainWindow window;
    WindowDriver driver(window);
    window.load();
    ExhaustPackets(driver);
    int shown = 0;
    double before = -1;
    double after = -2;
    driver.setMessageHandler([&](std::string_view) {
        ++shown;
        // A modal box runs its own event loop; the timers keep firing in it.
        before = driver.form().sim.SimTime;
        QEventLoop loop;
        QTimer::singleShot(120, &loop, &QEventLoop::quit);
        loop.exec();
        after = driver.form().sim.SimTime;
    });
    ASSERT_TRUE(driver.timerMove()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 2000);
    EXPECT_EQ(before, after);
    const double stopped = driver.form().sim.SimTime;
    // And the ticks resume afterwards.
    QTRY_VERIFY_WITH_TIMEOUT(driver.form().sim.SimTime > stopped, 2000);
}

}  // namespace
}  // namespace waitline::test
