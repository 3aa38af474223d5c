// What a screen reader and a hovering pointer learn from the main window: the
// names and descriptions of the controls, the labels painted on the picture
// with their current values and places, the queue in words, the tooltips, and
// how often changed values are announced.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QToolTip>

#include <chrono>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/window_fixture.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE
#include "picture/explanations.h"
#include "picture/layout.h"
#include "picture/queue_words.h"
#include "ui/accessibility/control_explanations.h"
#include "ui/accessibility/value_announcer.h"

namespace waitline::test {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const Explanation& Row(std::string_view object)
{
    const Explanation* row = FindExplanation(object);
    EXPECT_NE(row, nullptr) << object;
    static const Explanation kNone{};
    return row != nullptr ? *row : kNone;
}

// The model's label behind a value label, by its name.
const Label& ModelLabel(const DisplayModel& display, const QString& name)
{
    for (const layout::LabelRow& row : layout::kValueLabels) {
        if (name == QLatin1StringView(row.name)) {
            return display.*row.shows;
        }
    }
    ADD_FAILURE() << "no value label " << name.toStdString();
    static const Label kNone;
    return kNone;
}

QString FixedCaption(const QString& name)
{
    for (const layout::LabelRow& row : layout::kFixedLabels) {
        if (name == QLatin1StringView(row.name)) {
            return QString::fromLatin1(row.caption);
        }
    }
    return {};
}

// A tooltip says the whole text in lines a reader takes in at a glance, a
// line at most 40 characters wide.
void ExpectWrapped(const QString& tip, const QString& text)
{
    const QStringList lines = tip.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 40) << line.toStdString();
    }
    EXPECT_GT(lines.size(), 1) << tip.toStdString();
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
}

class AccessibilityTest : public WindowTest {
protected:
    QAccessibleInterface* picture() const { return QAccessible::queryAccessibleInterface(driver.canvas()); }

    LabelItem* label(const char* name) const
    {
        return driver.canvas()->findChild<LabelItem*>(QString::fromLatin1(name));
    }

    // A few seconds of a run at the start-up settings.
    void run(int ticks)
    {
        driver.clickButton(ButtonId::StartButton);
        for (int tick = 1; tick <= ticks; ++tick) {
            driver.deliverTimerMove();
            if (tick % 100 == 0) {
                driver.deliverTimerCheck();
            }
        }
    }
};

struct ComboCase {
    ComboId id;
    const char* name;
};

TEST_F(AccessibilityTest, BoxesAreNamedFromTheirCaptionsAndSayWhatTheyDo)
{
    const ComboCase cases[] = {
        {ComboId::SourceCombo, "Arrival Distribution"}, {ComboId::ArrivalCombo, "Arrival Rate, packets per second"},
        {ComboId::QueueCombo, "Queue Length"},          {ComboId::ServiceCombo, "Service Time Distribution"},
        {ComboId::ServerCombo, "Number of Servers"},    {ComboId::ServeRateCombo, "Service Rate, packets per second"},
    };
    for (const ComboCase& c : cases) {
        SCOPED_TRACE(c.name);
        ChoiceComboBox* box = driver.combo(c.id);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::ComboBox);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(c.name));
        const QString shown = box->lineEdit() != nullptr ? box->lineEdit()->text() : box->currentText();
        EXPECT_FALSE(shown.isEmpty());
        EXPECT_EQ(iface->text(QAccessible::Value), shown);
        const QString help = Q(Row(ComboName(c.id)).help);
        EXPECT_FALSE(help.isEmpty());
        EXPECT_EQ(iface->text(QAccessible::Description), help);
        ExpectWrapped(box->toolTip(), help);
        // The list and, in a box one can type into, the line edit.
        EXPECT_EQ(iface->childCount(), box->isEditable() ? 2 : 1);
        for (int i = 0; i < iface->childCount(); ++i) {
            EXPECT_EQ(iface->indexOfChild(iface->child(i)), i);
        }
        if (box->lineEdit() != nullptr) {
            EXPECT_EQ(iface->focusChild()->object(), box->lineEdit());
            EXPECT_EQ(iface->focusChild()->text(QAccessible::Name), QString::fromLatin1(c.name));
        }
    }
}

// Announced as a window with its title, and holding the controls and the
// picture as its children.
TEST_F(AccessibilityTest, WindowIsAWindowHoldingControlsAndPicture)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Waitline"));
    std::set<QObject*> children;
    for (int i = 0; i < iface->childCount(); ++i) {
        children.insert(iface->child(i)->object());
    }
    EXPECT_EQ(children.count(driver.canvas()), 1U);
    EXPECT_EQ(children.count(driver.button(ButtonId::StartButton)), 1U);
    EXPECT_EQ(children.count(driver.combo(ComboId::QueueCombo)), 1U);
}

TEST_F(AccessibilityTest, ButtonsAreNamedByTheirCaptionAsItChanges)
{
    QAccessibleInterface* start = QAccessible::queryAccessibleInterface(driver.button(ButtonId::StartButton));
    QAccessibleInterface* pause = QAccessible::queryAccessibleInterface(driver.button(ButtonId::PauseButton));
    ASSERT_NE(start, nullptr);
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(start->role(), QAccessible::Button);
    EXPECT_EQ(start->text(QAccessible::Name), QStringLiteral("Go"));
    EXPECT_EQ(pause->text(QAccessible::Name), QStringLiteral("Pause"));
    driver.clickButton(ButtonId::StartButton);
    driver.clickButton(ButtonId::PauseButton);
    EXPECT_EQ(start->text(QAccessible::Name), QStringLiteral("Stop"));
    EXPECT_EQ(pause->text(QAccessible::Name), QStringLiteral("Continue"));

    for (const ButtonControl& control : kButtonControls) {
        const QString help = Q(Row(control.name).help);
        EXPECT_FALSE(help.isEmpty());
        ExpectWrapped(driver.button(control.id)->toolTip(), help);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(driver.button(control.id))->text(QAccessible::Description),
                  help)
            << control.name;
    }
}

TEST_F(AccessibilityTest, PictureHasOneChildPerPaintedLabelWithItsValueAndPlace)
{
    run(300);
    const DisplayModel& display = driver.form().sim.display;
    ASSERT_NE(display.lblPacketsSourced.caption, "0") << "the run should have sourced packets";

    QAccessibleInterface* canvas = picture();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->role(), QAccessible::Pane);
    EXPECT_EQ(canvas->text(QAccessible::Name), QStringLiteral("Queue picture"));
    // Every fixed caption and every value label but the hidden hundredths clock.
    ASSERT_EQ(canvas->childCount(), static_cast<int>(layout::kFixedLabels.size() + layout::kValueLabels.size() - 1));

    std::set<QString> seen;
    for (int i = 0; i < canvas->childCount(); ++i) {
        QAccessibleInterface* child = canvas->child(i);
        ASSERT_NE(child, nullptr) << i;
        auto* item = qobject_cast<LabelItem*>(child->object());
        ASSERT_NE(item, nullptr) << i;
        const QString name = item->objectName();
        SCOPED_TRACE(name.toStdString());
        seen.insert(name);
        EXPECT_EQ(canvas->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), canvas);
        EXPECT_EQ(child->role(), QAccessible::StaticText);
        EXPECT_EQ(child->text(QAccessible::Name), Q(Row(name.toStdString()).name));
        EXPECT_EQ(child->rect(),
                  QRect(driver.canvas()->mapToGlobal(item->pixelRect().topLeft()), item->pixelRect().size()));
        EXPECT_EQ(canvas->childAt(child->rect().center().x(), child->rect().center().y()), child);

        QAccessibleTextInterface* text = child->textInterface();
        ASSERT_NE(text, nullptr);
        const bool isValue = Row(name.toStdString()).kind == Explained::Value;
        const QString painted = isValue ? Q(ModelLabel(display, name).caption) : FixedCaption(name);
        ASSERT_FALSE(painted.isEmpty());
        EXPECT_EQ(text->text(0, -1), painted);
        EXPECT_EQ(text->characterCount(), painted.size());
        EXPECT_EQ(child->text(QAccessible::Value), isValue ? painted : QString());
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(canvas->childCount())) << "a label listed twice";
    EXPECT_EQ(seen.count(QStringLiteral("lblSeconds")), 0U);
}

TEST_F(AccessibilityTest, ValueLabelsAreNamedForWhatTheyCount)
{
    const std::map<std::string, std::string> names{
        {"lblTime", "Elapsed time, seconds"},
        {"lblPacketsSourced", "Packets sourced"},
        {"lblPacketsServiced", "Packets serviced"},
        {"lblPacketsLost", "Packets lost"},
        {"lblPercentDropped", "Percentage Dropped"},
        {"lblMeanWaitingTime", "Mean Waiting Time"},
        {"lblStdDevWaitingTime", "Standard Deviation of Waiting Time"},
        {"lblMeanPktsInQueue", "Mean Packets In Queue"},
    };
    for (const auto& [object, name] : names) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label(object.c_str()));
        ASSERT_NE(iface, nullptr) << object;
        EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), name);
    }
    // Made up from the model's own fields, the statistic reads as painted.
    driver.form().sim.display.lblPercentDropped.caption = "11.11 %";
    driver.sync();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label("lblPercentDropped"))->text(QAccessible::Value),
              QStringLiteral("11.11 %"));
}

struct QueueCase {
    QueueCount count;
    const char* words;
};

TEST_F(AccessibilityTest, PictureDescribesTheQueueInWords)
{
    const QueueCase cases[] = {
        {{0, 3, 0}, "0 of 3 places taken, 0 in service"},
        {{1, 1, 1}, "1 of 1 place taken, 1 in service"},
        {{10, 10, 5}, "10 of 10 places taken, 5 in service"},
    };
    for (const QueueCase& c : cases) {
        EXPECT_EQ(DescribeQueue(c.count), c.words);
    }

    // Five places, two servers: two packets in service and one waiting above.
    Simulation& sim = driver.form().sim;
    sim.QueueLength = 5;
    sim.NumServers = 2;
    const Pkt states[] = {Pkt::Serving, Pkt::Serving, Pkt::Queueing};
    for (int j = 0; j < 3; ++j) {
        sim.slots[j] = QueueSlot{Slot::Full, static_cast<std::int16_t>(j + 1)};
        sim.packets[j + 1].PacketState = states[j];
    }
    // A packet on its way in holds no place.
    sim.packets[7].PacketState = Pkt::Dropping;
    EXPECT_EQ(picture()->text(QAccessible::Description), QStringLiteral("3 of 5 places taken, 2 in service"));
    sim.packets[2].PacketState = Pkt::Queueing;
    EXPECT_EQ(picture()->text(QAccessible::Description), QStringLiteral("3 of 5 places taken, 1 in service"));
}

struct TipCase {
    const char* label;
    const char* explains;  // the row whose help the tooltip gives
};

TEST_F(AccessibilityTest, HoveringAPaintedLabelShowsWhatItMeans)
{
    window.show();
    const TipCase cases[] = {
        {"lblPercentDropped", "lblPercentDropped"},
        {"lblMeanWaitingTime", "lblMeanWaitingTime"},
        {"lblStdDevWaitingTime", "lblStdDevWaitingTime"},
        {"lblMeanPktsInQueue", "lblMeanPktsInQueue"},
        {"lblPacketsSourced", "lblPacketsSourced"},
        {"lblPacketsServiced", "lblPacketsServiced"},
        {"lblPacketsLost", "lblPacketsLost"},
        {"l_PercentDrop", "lblPercentDropped"},
        {"Label18", "lblStdDevWaitingTime"},
        {"Label21", "QueueCombo"},
        {"Label20", "ServerCombo"},
    };
    for (const TipCase& c : cases) {
        SCOPED_TRACE(c.label);
        const LabelItem* item = label(c.label);
        ASSERT_NE(item, nullptr);
        // Near a corner, not only at the middle.
        const QPoint at = item->pixelRect().topLeft() + QPoint(2, 2);
        QHelpEvent event(QEvent::ToolTip, at, driver.canvas()->mapToGlobal(at));
        QApplication::sendEvent(driver.canvas(), &event);
        EXPECT_TRUE(event.isAccepted());
        ASSERT_TRUE(QToolTip::isVisible());
        const QString help = HelpText(Row(c.explains));
        EXPECT_FALSE(help.isEmpty());
        ExpectWrapped(QToolTip::text(), help);
    }

    // Between the labels, over the queue column, nothing is explained.
    const QPoint blank(200, 300);
    ASSERT_EQ(driver.canvas()->labelAt(blank), nullptr);
    QHelpEvent event(QEvent::ToolTip, blank, driver.canvas()->mapToGlobal(blank));
    QApplication::sendEvent(driver.canvas(), &event);
    EXPECT_FALSE(event.isAccepted());
    // Qt hides a tooltip after a short delay.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
}

// The text updates the window sends about its painted labels.
struct Update {
    QObject* label;
    QString removed;
    QString inserted;
    int batch;
};
std::vector<Update> gUpdates;
int gBatch = 0;

void RecordUpdate(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::TextUpdated && qobject_cast<LabelItem*>(event->object()) != nullptr) {
        const auto* update = static_cast<QAccessibleTextUpdateEvent*>(event);
        gUpdates.push_back({event->object(), update->textRemoved(), update->textInserted(), gBatch});
    }
}

class AnnouncementTest : public AccessibilityTest {
protected:
    void SetUp() override
    {
        AccessibilityTest::SetUp();
        gUpdates.clear();
        // Off screen no bridge makes QAccessible::isActive() true, and
        // without it QAccessible drops every event before an installed
        // update handler would see it: the window's events come here instead.
        listen(true);
    }

    void listen(bool listening)
    {
        AnnouncementHooks hooks;
        hooks.now = [this] { return now_; };
        hooks.listening = listening ? +[] { return true; } : +[] { return false; };
        hooks.send = &RecordUpdate;
        driver.announcer().setHooks(hooks);
    }

    void tick(int n)
    {
        ++gBatch;
        driver.deliverTimerMove();
        if (n % 100 == 0) {
            driver.deliverTimerCheck();
        }
    }

    int batches() const
    {
        std::set<int> seen;
        for (const Update& u : gUpdates) {
            seen.insert(u.batch);
        }
        return static_cast<int>(seen.size());
    }

    std::map<QObject*, QString> captions() const
    {
        std::map<QObject*, QString> now;
        for (const Explanation& row : kExplanations) {
            if (row.kind == Explained::Value) {
                LabelItem* item = label(std::string(row.object).c_str());
                now[item] = item->caption();
            }
        }
        return now;
    }

    std::chrono::steady_clock::time_point now_{std::chrono::hours(1)};
};

TEST_F(AnnouncementTest, ChangedValuesAreAnnouncedAtMostOnceASecond)
{
    driver.clickButton(ButtonId::StartButton);
    now_ += std::chrono::seconds(1);
    tick(1);
    // A second after Go every change has been announced.
    ASSERT_FALSE(gUpdates.empty()) << "Go's changes should have been announced";
    const std::map<QObject*, QString> start = captions();
    gUpdates.clear();

    for (int n = 2; n <= 301; ++n) {
        now_ += std::chrono::milliseconds(3);
        tick(n);
    }
    ASSERT_NE(captions(), start) << "the counts should change within 300 ticks";
    EXPECT_EQ(batches(), 0) << gUpdates.size() << " updates within the second";

    now_ += std::chrono::seconds(1);
    tick(302);
    ASSERT_GE(batches(), 1);
    EXPECT_EQ(gUpdates.back().batch, gBatch) << "a second later the changes are announced";

    // Followed label by label, the updates lead from the start to what is
    // shown now, each naming the text it replaces.
    std::map<QObject*, QString> told = start;
    for (const Update& u : gUpdates) {
        ASSERT_EQ(told.count(u.label), 1U);
        EXPECT_EQ(u.removed, told[u.label]) << u.label->objectName().toStdString();
        EXPECT_NE(u.inserted, u.removed);
        told[u.label] = u.inserted;
    }
    EXPECT_EQ(told, captions());
    QAccessibleInterface* sourced = QAccessible::queryAccessibleInterface(label("lblPacketsSourced"));
    EXPECT_EQ(told[sourced->object()], sourced->textInterface()->text(0, -1));
}

// What changed just before a pause is not held back for good: the
// once-a-second check, which goes on while paused, announces it.
TEST_F(AnnouncementTest, TheLastChangesBeforeAPauseAreAnnounced)
{
    // Fifty arrivals a second: the count changes within any half second.
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("50")));
    driver.clickButton(ButtonId::StartButton);
    for (int n = 1; n <= 250; ++n) {
        now_ += std::chrono::milliseconds(10);
        tick(n);
    }
    driver.clickButton(ButtonId::PauseButton);
    gUpdates.clear();
    now_ += std::chrono::seconds(1);
    ASSERT_TRUE(driver.deliverTimerCheck());
    ASSERT_FALSE(gUpdates.empty());
    // Each label's last update is what it shows now.
    std::map<QObject*, QString> told;
    for (const Update& u : gUpdates) {
        told[u.label] = u.inserted;
    }
    const std::map<QObject*, QString> shown = captions();
    for (const auto& [label, text] : told) {
        EXPECT_EQ(text, shown.at(label)) << label->objectName().toStdString();
    }
    // Paused, nothing changes, and nothing more is said.
    gUpdates.clear();
    now_ += std::chrono::seconds(1);
    ASSERT_TRUE(driver.deliverTimerCheck());
    EXPECT_TRUE(gUpdates.empty());
}

TEST_F(AnnouncementTest, NothingIsAnnouncedWhileNoScreenReaderListens)
{
    listen(false);
    driver.clickButton(ButtonId::StartButton);
    for (int n = 1; n <= 300; ++n) {
        now_ += std::chrono::milliseconds(10);
        tick(n);
    }
    EXPECT_TRUE(gUpdates.empty()) << gUpdates.size() << " updates";

    // The same run heard: three seconds, three batches.
    listen(true);
    for (int n = 301; n <= 600; ++n) {
        now_ += std::chrono::milliseconds(10);
        tick(n);
    }
    EXPECT_EQ(batches(), 3);
}

}  // namespace
}  // namespace waitline::test
