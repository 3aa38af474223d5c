// What the window actually paints: the queue picture for various queue
// lengths and server counts, and packets over and under the other items.
#include <QPainter>
#include <QPushButton>

#include <cmath>

#include "picture/layout.h"
#include "tests/ui/window_fixture.h"

namespace waitline::test {
namespace {

class RenderTest : public WindowTest {
protected:
    // Chooses a queue length and a server count the way the user does.
    void choose(int queueLength, int servers)
    {
        // Servers first when lowering, so the count never exceeds the length.
        if (servers <= driver.form().sim.NumServers) {
            ASSERT_TRUE(driver.chooseEntry(ComboId::ServerCombo, QString::number(servers)));
            ASSERT_TRUE(driver.chooseEntry(ComboId::QueueCombo, QString::number(queueLength)));
        } else {
            ASSERT_TRUE(driver.chooseEntry(ComboId::QueueCombo, QString::number(queueLength)));
            ASSERT_TRUE(driver.chooseEntry(ComboId::ServerCombo, QString::number(servers)));
        }
        ASSERT_EQ(driver.form().sim.QueueLength, queueLength);
        ASSERT_EQ(driver.form().sim.NumServers, servers);
    }

    Packet& packet(int i) { return driver.form().sim.packets[static_cast<std::size_t>(i)]; }

    void place(int i, float left, float top, Rgb colour)
    {
        Packet& p = packet(i);
        p.Left = left;
        p.Top = top;
        p.FillColor = colour;
        p.Visible = true;
    }
};

// The blue outline's top edge, 2 px thick, sits 8 px above the highest box
// and its bottom edge always ends at y = 473; the arrival line ends on it.
class OutlineTest : public RenderTest, public ::testing::WithParamInterface<int> {};

TEST_P(OutlineTest, SurroundsTheBoxesAndMeetsTheArrivalLine)
{
    const int length = GetParam();
    choose(length, 1);
    const QImage image = driver.grabClientArea();
    const int top = 456 - 32 * length;
    for (int y : {top, top + 1, 471, 472}) {
        EXPECT_EQ(pixel(image, 200, y), kBlue) << "row " << y;
    }
    EXPECT_NE(pixel(image, 200, top - 1), kBlue);
    EXPECT_NE(pixel(image, 200, top + 2), kBlue);
    EXPECT_NE(pixel(image, 200, 473), kBlue);
    const int middle = (top + 473) / 2;
    for (int x : {160, 161, 271, 272}) {
        EXPECT_EQ(pixel(image, x, middle), kBlue) << "column " << x;
    }
    EXPECT_EQ(pixel(image, 159, middle), kGrey);
    EXPECT_EQ(pixel(image, 162, middle), kGrey);
    // The arrival line runs from y = 72 down to the outline.
    EXPECT_EQ(pixel(image, 216, 72), kBlack);
    EXPECT_EQ(pixel(image, 216, top - 1), kBlack);
    EXPECT_EQ(pixel(image, 216, 71), kGrey);
    EXPECT_EQ(pixel(image, 217, (72 + top) / 2), kGrey);
}

INSTANTIATE_TEST_SUITE_P(QueueLengths, OutlineTest, ::testing::Values(1, 3, 10));

struct Structure {
    int length;
    int servers;
};

class StructureTest : public RenderTest, public ::testing::WithParamInterface<Structure> {};

TEST_P(StructureTest, ShowsExactlyTheBoxesAndServers)
{
    const auto [length, servers] = GetParam();
    choose(length, servers);
    const QImage image = driver.grabClientArea();
    for (int j = 0; j <= 10; ++j) {
        // The left edge of box j, halfway down the box.
        const QColor edge = pixel(image, 168, 448 - 32 * j);
        if (j < length) {
            EXPECT_EQ(edge, kBlack) << "box " << j;
        } else {
            EXPECT_NE(edge, kBlack) << "box " << j;
        }
    }
    for (int j = 0; j < 5; ++j) {
        const int y = 448 - 32 * j;
        const bool shown = j < servers;
        // Shaft (4 px thick), a barb near the tip, and the exit line. The
        // upright bar lies under the blue outline's right edge.
        for (QPoint p : {QPoint(310, y), QPoint(276, y + 1), QPoint(j == 0 ? 352 : 353, y - 2), QPoint(600, y)}) {
            EXPECT_EQ(pixel(image, p.x(), p.y()) == kBlack, shown) << "server " << j << " at " << p.x() << ',' << p.y();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, StructureTest,
                         ::testing::Values(Structure{1, 1}, Structure{3, 1}, Structure{3, 3}, Structure{5, 2},
                                           Structure{10, 5}, Structure{10, 1}));

TEST_F(RenderTest, RaisingAndLoweringBackLeavesThePictureAsItWas)
{
    const QImage before = driver.grabClientArea();
    choose(10, 5);
    EXPECT_NE(driver.grabClientArea(), before);
    choose(3, 1);
    EXPECT_EQ(driver.grabClientArea(), before);
}

// Every glyph of every caption shows whole: nothing in the picture lies over
// a caption's letters, however the items stack.
TEST_F(RenderTest, NoItemCoversACaptionsLetters)
{
    const QImage painted = driver.grabClientArea();
    for (const layout::LabelRow& row : layout::kFixedLabels) {
        auto* label = driver.canvas()->findChild<LabelItem*>(QString::fromLatin1(row.name));
        ASSERT_NE(label, nullptr) << row.name;
        QImage alone(painted.size(), QImage::Format_RGB32);
        alone.fill(kGrey);
        QPainter painter(&alone);
        label->paint(painter);
        painter.end();
        int letters = 0;
        const QRect box = label->pixelRect();
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (pixel(alone, x, y) != kGrey) {
                    ++letters;
                    ASSERT_EQ(pixel(painted, x, y), pixel(alone, x, y)) << row.name << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(letters, 0) << row.name;
    }
}

TEST_F(RenderTest, PacketIsDrawnInItsColourAtItsRoundedPosition)
{
    const Rgb colour{10, 200, 30};
    const QColor fill(10, 200, 30);
    // 450.4 rounds down, 150.5 to the even neighbour 150.
    place(7, 450.4F, 150.5F, colour);
    driver.sync();
    QImage image = driver.grabClientArea();
    EXPECT_EQ(pixel(image, 450 + 40, 150 + 12), fill);
    for (QPoint p : {QPoint(450, 150), QPoint(452, 152), QPoint(530, 174), QPoint(528, 160)}) {
        EXPECT_EQ(pixel(image, p.x(), p.y()), kBlack) << p.x() << ',' << p.y();
    }
    EXPECT_EQ(pixel(image, 453, 153), fill);
    EXPECT_EQ(pixel(image, 449, 160), kGrey);
    EXPECT_EQ(pixel(image, 531, 160), kGrey);
    EXPECT_EQ(pixel(image, 490, 175), kGrey);

    packet(7).Visible = false;
    driver.sync();
    image = driver.grabClientArea();
    EXPECT_EQ(pixel(image, 490, 162), kGrey);
    EXPECT_EQ(pixel(image, 450, 150), kGrey);
}

TEST_F(RenderTest, HigherPacketCoversLowerOne)
{
    place(3, 400, 150, {255, 0, 0});
    place(4, 420, 155, {0, 255, 0});
    driver.sync();
    const QImage image = driver.grabClientArea();
    EXPECT_EQ(pixel(image, 440, 165), QColor(0, 255, 0));
    EXPECT_EQ(pixel(image, 405, 160), QColor(255, 0, 0));
}

TEST_F(RenderTest, PacketCoversLabelsAndLinesButNotTheOutline)
{
    const QImage before = driver.grabClientArea();
    // Dark pixels of "Mean Waiting Time" inside the label.
    const QRect labelText(420, 208, 100, 25);
    int dark = 0;
    for (int y = labelText.top(); y <= labelText.bottom(); ++y) {
        for (int x = labelText.left(); x <= labelText.right(); ++x) {
            dark += pixel(before, x, y).lightness() < 64 ? 1 : 0;
        }
    }
    ASSERT_GT(dark, 20);
    ASSERT_EQ(pixel(before, 540, 448), kBlack);  // exit line 0
    ASSERT_EQ(pixel(before, 200, 360), kBlue);   // top of the outline, queue length 3

    const QColor fill(250, 200, 0);
    place(1, 420, 208, {250, 200, 0});  // over the label
    place(2, 500, 436, {250, 200, 0});  // on exit line 0
    place(3, 176, 348, {250, 200, 0});  // dropping into the queue, across the outline's top edge
    place(4, 100, 20, {250, 200, 0});   // partly under lblSeconds
    driver.sync();
    const QImage image = driver.grabClientArea();
    for (int y = 211; y <= 229; ++y) {
        for (int x = 423; x <= 497; ++x) {
            ASSERT_EQ(pixel(image, x, y), fill) << x << ',' << y;
        }
    }
    EXPECT_EQ(pixel(image, 540, 448), fill);
    EXPECT_EQ(pixel(image, 200, 360), kBlue);
    EXPECT_EQ(pixel(image, 200, 361), kBlue);
    EXPECT_EQ(pixel(image, 200, 358), fill);
    EXPECT_EQ(pixel(image, 200, 365), fill);
    // lblSeconds lies above the packets and paints its own grey.
    EXPECT_EQ(pixel(image, 105, 25), kGrey);
    EXPECT_EQ(pixel(image, 105, 38), fill);
    EXPECT_EQ(pixel(image, 140, 25), fill);
}

TEST_F(RenderTest, PacketsMoveOnScreenAsTicksMoveThem)
{
    driver.clickButton(ButtonId::StartButton);
    ASSERT_EQ(driver.button(ButtonId::StartButton)->text(), QStringLiteral("Stop"));
    const auto& packets = driver.form().sim.packets;
    int moving = -1;
    for (int tick = 0; tick < 20000 && moving < 0; ++tick) {
        ASSERT_TRUE(driver.deliverTimerMove());
        for (int i = 0; i <= MaxPacket; ++i) {
            if (packets[static_cast<std::size_t>(i)].Visible) {
                moving = i;
            }
        }
    }
    ASSERT_GE(moving, 0) << "no packet was created";
    const auto centre = [&] {
        const Packet& p = packets[static_cast<std::size_t>(moving)];
        return QPoint(static_cast<int>(std::nearbyint(p.Left)) + 40, static_cast<int>(std::nearbyint(p.Top)) + 18);
    };
    const Packet& p = packets[static_cast<std::size_t>(moving)];
    const QColor fill(p.FillColor.r, p.FillColor.g, p.FillColor.b);
    const QPoint first = centre();
    EXPECT_EQ(pixel(driver.grabClientArea(), first.x(), first.y()), fill);
    for (int step = 0; step < 4; ++step) {
        ASSERT_TRUE(driver.deliverTimerMove());
        ASSERT_TRUE(p.Visible);
        const QPoint now = centre();
        const QImage image = driver.grabClientArea();
        EXPECT_EQ(pixel(image, now.x(), now.y()), fill) << "step " << step;
        EXPECT_EQ(pixel(image, now.x(), now.y() - 14), fill) << "step " << step;
    }
    const QPoint last = centre();
    EXPECT_GT(last.y(), first.y() + 40);
    // Where the packet was is no longer painted in its colour.
    EXPECT_NE(pixel(driver.grabClientArea(), first.x(), first.y() - 12), fill);
}

TEST_F(RenderTest, LabelsShowTheirModelCaptions)
{
    QImage before = driver.grabClientArea();
    driver.form().sim.display.lblPacketsLost.caption = "12345";
    driver.form().sim.display.lblSeconds.visible = false;
    driver.sync();
    QImage after = driver.grabClientArea();
    EXPECT_NE(after.copy(8, 512, 129, 41), before.copy(8, 512, 129, 41));
    EXPECT_NE(after.copy(0, 0, 113, 33), before.copy(0, 0, 113, 33));
    // Outside the two labels nothing changed.
    EXPECT_EQ(after.copy(300, 0, 492, 400), before.copy(300, 0, 492, 400));
}

}  // namespace
}  // namespace waitline::test
