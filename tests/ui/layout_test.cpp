// The window's controls, checked from the objects themselves against the
// layout they were drawn for.
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QTimer>

#include <string>
#include <vector>

#include "tests/ui/window_fixture.h"

namespace waitline::test {
namespace {

struct WidgetCase {
    const char* name;
    int left, top, width, height;
    bool combo;
    bool editable;
};

const WidgetCase kWidgets[] = {
    {"StartButton", 160, 16, 113, 41, false, false}, {"PauseButton", 16, 96, 129, 41, false, false},
    {"SourceCombo", 576, 24, 161, 37, true, false},  {"ArrivalCombo", 576, 64, 89, 37, true, true},
    {"QueueCombo", 576, 104, 73, 37, true, true},    {"ServiceCombo", 616, 484, 161, 37, true, false},
    {"ServerCombo", 384, 524, 57, 37, true, true},   {"ServeRateCombo", 600, 524, 73, 37, true, true},
};

class WidgetLayout : public WindowTest, public ::testing::WithParamInterface<WidgetCase> {};

TEST_P(WidgetLayout, HasNameGeometryKindAndFont)
{
    const WidgetCase& c = GetParam();
    auto* widget = window.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->geometry(), QRect(c.left, c.top, c.width, c.height)) << c.name;
    EXPECT_EQ(widget->font().family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(widget->font().pixelSize(), 22);
    EXPECT_EQ(widget->font().weight(), c.combo ? QFont::Normal : QFont::Bold);
    if (c.combo) {
        auto* combo = qobject_cast<QComboBox*>(widget);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->isEditable(), c.editable);
        EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(combo->completer(), nullptr);
        EXPECT_EQ(combo->palette().color(QPalette::Base), kGrey);
    } else {
        EXPECT_NE(qobject_cast<QPushButton*>(widget), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Controls, WidgetLayout, ::testing::ValuesIn(kWidgets),
                         [](const auto& param) { return std::string(param.param.name); });

struct LabelCase {
    const char* name;
    int left, top, width, height;
    Qt::Alignment align;
    const char* family;
    int pixelSize;
    bool bold;
    const char* caption;  // nullptr: written at run time
};

constexpr Qt::Alignment kL = Qt::AlignLeft;
constexpr Qt::Alignment kR = Qt::AlignRight;
constexpr Qt::Alignment kC = Qt::AlignHCenter;
const char* const kSans = "Liberation Sans";

const LabelCase kLabels[] = {
    {"Label1", 344, 28, 225, 33, kR, kSans, 22, false, "Arrival Distribution"},
    {"Label2", 408, 68, 161, 33, kR, kSans, 22, false, "Arrival Rate"},
    {"Label6", 672, 68, 113, 25, kL, kSans, 22, false, "pkts / sec"},
    {"Label21", 360, 108, 209, 33, kR, kSans, 22, false, "Queue Length"},
    {"l_PercentDrop", 408, 176, 249, 33, kL, kSans, 22, false, "Percentage Dropped"},
    {"Label7", 408, 208, 225, 33, kR, kSans, 22, false, "Mean Waiting Time"},
    {"Label18", 368, 240, 265, 33, kR, kSans, 22, false, "Std.Dev. Waiting Time"},
    {"Label23", 368, 272, 265, 25, kR, kSans, 22, false, "Mean Packets In Queue"},
    {"Label24", 48, 464, 57, 32, kL, "Liberation Serif", 31, false, "Lost"},
    {"Label5", 320, 488, 281, 25, kR, kSans, 22, false, "Service Time Distribution"},
    {"Label20", 136, 528, 241, 33, kR, kSans, 22, false, "No of Servers"},
    {"Label4", 432, 528, 161, 25, kR, kSans, 22, false, "Service Rate"},
    {"Label3", 680, 528, 113, 33, kL, kSans, 22, false, "pkts / sec"},
    {"lblTime", 8, 8, 81, 17, kL, kSans, 16, true, nullptr},
    {"lblSeconds", 0, 0, 113, 33, kL, kSans, 16, false, nullptr},
    {"lblPacketsSourced", 8, 48, 129, 41, kR, kSans, 26, true, nullptr},
    {"lblPacketsLost", 8, 512, 129, 41, kC, kSans, 26, true, nullptr},
    {"lblPacketsServiced", 280, 456, 137, 41, kL, kSans, 26, true, nullptr},
    {"lblPercentDropped", 648, 176, 129, 25, kL, kSans, 22, false, nullptr},
    {"lblMeanWaitingTime", 648, 208, 129, 25, kL, kSans, 22, false, nullptr},
    {"lblStdDevWaitingTime", 648, 240, 129, 25, kL, kSans, 22, false, nullptr},
    {"lblMeanPktsInQueue", 648, 272, 129, 25, kL, kSans, 22, false, nullptr},
};

class LabelLayout : public WindowTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(LabelLayout, HasGeometryFontAlignmentAndCaption)
{
    const LabelCase& c = GetParam();
    auto* label = window.findChild<LabelItem*>(QString::fromLatin1(c.name));
    ASSERT_NE(label, nullptr) << c.name << " is not a label";
    EXPECT_EQ(label->pixelRect(), QRect(c.left, c.top, c.width, c.height));
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, c.align);
    EXPECT_EQ(label->font().family(), QString::fromLatin1(c.family));
    // The substitute face must really be installed, or every width is off.
    EXPECT_EQ(QFontInfo(label->font()).family(), QString::fromLatin1(c.family));
    EXPECT_EQ(label->font().pixelSize(), c.pixelSize);
    EXPECT_EQ(label->font().weight(), c.bold ? QFont::Bold : QFont::Normal);
    EXPECT_FALSE(label->font().italic());
    if (c.caption != nullptr) {
        EXPECT_EQ(label->caption(), QString::fromLatin1(c.caption));
    }
}

INSTANTIATE_TEST_SUITE_P(Labels, LabelLayout, ::testing::ValuesIn(kLabels),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(WindowTest, EveryCaptionFitsItsLabel)
{
    // Fixed captions as they are, value labels with the widest text they
    // show in a run.
    const std::pair<const char*, const char*> widest[] = {{"lblTime", "88888"},
                                                          {"lblSeconds", "Time"},
                                                          {"lblPacketsSourced", "888888"},
                                                          {"lblPacketsLost", "888888"},
                                                          {"lblPacketsServiced", "888888"},
                                                          {"lblPercentDropped", "100.00 %"},
                                                          {"lblMeanWaitingTime", "88.88 s"},
                                                          {"lblStdDevWaitingTime", "88.88 s"},
                                                          {"lblMeanPktsInQueue", "88.88"}};
    int checked = 0;
    for (const DrawnItem* drawn : driver.canvas()->items()) {
        const auto* item = qobject_cast<const LabelItem*>(drawn);
        if (item == nullptr) {
            continue;
        }
        QString caption = item->caption();
        for (const auto& [name, text] : widest) {
            if (item->objectName() == QLatin1String(name)) {
                caption = QString::fromLatin1(text);
            }
        }
        const int advance = QFontMetrics(item->font()).horizontalAdvance(caption);
        EXPECT_LE(advance, item->pixelRect().width())
            << item->objectName().toStdString() << " \"" << caption.toStdString() << '"';
        ++checked;
    }
    EXPECT_EQ(checked, 22);

    const std::pair<ButtonId, const char*> captions[] = {{ButtonId::StartButton, "Stop"},
                                                         {ButtonId::PauseButton, "Continue"}};
    for (const auto& [id, caption] : captions) {
        QPushButton* b = driver.button(id);
        EXPECT_LT(QFontMetrics(b->font()).horizontalAdvance(QString::fromLatin1(caption)), b->width()) << caption;
    }
}

struct LineCase {
    QString name;
    QLineF line;
    QColor color;
    int width;
};

std::vector<LineCase> LineCases()
{
    std::vector<LineCase> cases = {
        {"Line1", {120, 24, 160, 64}, kPurple, 4},
        {"Line2", {272, 64, 160, 64}, kPurple, 4},
        {"Line3", {272, 64, 320, 24}, kPurple, 4},
        {"Line6", {16, 464, 32, 504}, kPurple, 4},
        {"Line5", {112, 504, 32, 504}, kPurple, 4},
        {"Line4", {112, 504, 128, 464}, kPurple, 4},
        {"LineOut0", {360, 448, 768, 448}, kBlack, 1},
        {"linServerLeft0", {271, 436, 271, 460}, kBlack, 2},
        {"linServer0", {272, 448, 352, 448}, kBlack, 4},
        {"linServerTop0", {354, 448, 342, 436}, kBlack, 2},
        {"linServerBottom0", {354, 448, 342, 460}, kBlack, 2},
        {"linServerLeft3", {272, 340, 272, 364}, kBlack, 2},
        {"linServer3", {273, 352, 353, 352}, kBlack, 4},
        {"linServerTop4", {355, 320, 343, 308}, kBlack, 2},
        {"linServerBottom1", {355, 416, 343, 428}, kBlack, 2},
        {"LineOut2", {360, 384, 768, 384}, kBlack, 1},
    };
    return cases;
}

TEST_F(WindowTest, LinesHaveTheirEndPointsColourAndWidth)
{
    for (const LineCase& c : LineCases()) {
        auto* line = window.findChild<LineItem*>(c.name);
        ASSERT_NE(line, nullptr) << c.name.toStdString() << " is not a line";
        EXPECT_EQ(line->line(), c.line) << c.name.toStdString();
        EXPECT_EQ(line->penColor(), c.color) << c.name.toStdString();
        EXPECT_EQ(line->penWidth(), c.width) << c.name.toStdString();
    }
}

TEST_F(WindowTest, ControlArraysAreNamedWithTheirIndex)
{
    const std::pair<const char*, int> arrays[] = {{"boxQueue", 11},      {"sPacket", 51},  {"LineOut", 5},
                                                  {"linServerLeft", 5},  {"linServer", 5}, {"linServerTop", 5},
                                                  {"linServerBottom", 5}};
    for (const auto& [name, count] : arrays) {
        for (int i = 0; i < count; ++i) {
            const QString full = QString::fromLatin1(name) + QString::number(i);
            auto* item = window.findChild<DrawnItem*>(full, Qt::FindChildrenRecursively);
            ASSERT_NE(item, nullptr) << full.toStdString();
            EXPECT_EQ(item->property("index").toInt(), i);
        }
        const QString beyond = QString::fromLatin1(name) + QString::number(count);
        EXPECT_EQ(window.findChild<DrawnItem*>(beyond), nullptr) << beyond.toStdString();
    }
    for (int j = 0; j <= 10; ++j) {
        auto* box = window.findChild<OutlineItem*>(QStringLiteral("boxQueue%1").arg(j));
        ASSERT_NE(box, nullptr) << "boxQueue" << j << " is not an outline";
        EXPECT_EQ(box->pixelRect(), QRect(168, 432 - 32 * j, 97, 33));
        EXPECT_EQ(box->penWidth(), 2);
    }
    auto* packet = window.findChild<PacketItem*>(QStringLiteral("sPacket50"));
    ASSERT_NE(packet, nullptr);
    EXPECT_EQ(packet->pixelRect().size(), QSize(81, 25));
    EXPECT_EQ(packet->penWidth(), 3);
    EXPECT_FALSE(packet->isVisible());
}

TEST_F(WindowTest, WindowAndTimersAreAsLaidOut)
{
    EXPECT_EQ(window.size(), QSize(792, 567));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.palette().color(QPalette::Window), kGrey);
    EXPECT_EQ(driver.grabClientArea().size(), QSize(792, 567));
    const std::pair<const char*, int> timers[] = {{"TimerMove", 10}, {"TimerCheck", 1000}};
    for (const auto& [name, interval] : timers) {
        auto* timer = window.findChild<QTimer*>(QString::fromLatin1(name));
        ASSERT_NE(timer, nullptr) << name;
        EXPECT_EQ(timer->interval(), interval);
        EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
        // The window under test delivers timer events only on request.
        EXPECT_FALSE(timer->isActive());
    }
    auto* fifo = window.findChild<OutlineItem*>(QStringLiteral("shpFIFO"));
    ASSERT_NE(fifo, nullptr);
    EXPECT_EQ(fifo->penColor(), kBlue);
    EXPECT_EQ(fifo->penWidth(), 2);
}

TEST(WindowTimers, FollowTheModelWhenAutomatic)
{
    MainWindow window;
    WindowDriver driver(window);
    window.load();
    EXPECT_TRUE(driver.timerMove()->isActive());
    EXPECT_TRUE(driver.timerCheck()->isActive());
    driver.clickButton(ButtonId::PauseButton);
    EXPECT_FALSE(driver.timerMove()->isActive());
    EXPECT_TRUE(driver.timerCheck()->isActive());
    driver.clickButton(ButtonId::PauseButton);
    EXPECT_TRUE(driver.timerMove()->isActive());
    driver.setTimersAutomatic(false);
    EXPECT_FALSE(driver.timerMove()->isActive());
    EXPECT_FALSE(driver.timerCheck()->isActive());
}

// The whole stacking order, front to back: each item covers every item after
// it. A packet passes under the clock's labels and the blue outline but over
// everything else.
TEST_F(WindowTest, ItemsAreStackedInDrawingOrder)
{
    std::vector<std::string> expected = {"lblTime", "shpFIFO", "lblSeconds"};
    const auto addArray = [&](const char* name, int from, int to) {
        for (int i = from; i >= to; --i) {
            expected.push_back(name + std::to_string(i));
        }
    };
    addArray("sPacket", 50, 0);
    for (int j = 4; j >= 0; --j) {
        for (const char* line : {"linServerBottom", "linServerTop", "linServer", "linServerLeft"}) {
            expected.push_back(line + std::to_string(j));
        }
    }
    addArray("boxQueue", 10, 0);
    expected.emplace_back("lblPercentDropped");
    addArray("LineOut", 4, 1);
    expected.emplace_back("Line12");
    expected.emplace_back("LineOut0");
    for (const char* name :
         {"Label24", "Label23", "lblMeanPktsInQueue", "Label21", "Label20", "lblStdDevWaitingTime", "Label18",
          "lblMeanWaitingTime", "l_PercentDrop",
          // The caption of the service time distribution lies
          // above the serviced count, whose box reaches into it.
          "Label5", "lblPacketsSourced", "lblPacketsLost", "Line6", "Line5", "Line4", "Label7", "lblPacketsServiced",
          "Label4", "Label3", "Label6", "Label2", "Label1", "Line3", "Line2", "Line1"}) {
        expected.emplace_back(name);
    }

    std::vector<std::string> painted;
    const auto& backToFront = driver.canvas()->items();
    for (auto item = backToFront.rbegin(); item != backToFront.rend(); ++item) {
        painted.push_back((*item)->objectName().toStdString());
    }
    EXPECT_EQ(painted, expected);
}

}  // namespace
}  // namespace waitline::test
