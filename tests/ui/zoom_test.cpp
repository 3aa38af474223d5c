// The window at --zoom 2, which sets Qt's scale factor before the
// application starts: twice the device pixels, the same picture, drawn
// sharp rather than enlarged.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui/window_fixture.h"
#include "ui/analysis_window/analysis_window.h"

namespace waitline::test {
namespace {

constexpr int kZoom = 2;

// The picture at one device pixel per pixel, drawn by the same widgets.
QImage RenderAtOne(QWidget& window)
{
    QImage image(window.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    window.render(&image);
    return image;
}

TEST_F(WindowTest, ClientAreaIsTwiceTheSizeInDevicePixels)
{
    window.show();
    const QImage grabbed = window.grab().toImage();
    EXPECT_EQ(grabbed.size(), QSize(1584, 1134));
    EXPECT_EQ(window.size(), QSize(792, 567));
    EXPECT_DOUBLE_EQ(window.devicePixelRatioF(), kZoom);
}

// At twice the scale the analysis window still fits the screen and opens
// where it can be seen whole; what does not fit scrolls.
TEST_F(WindowTest, AnalysisWindowFitsTheScreen)
{
    window.show();
    driver.openAnalysis();
    AnalysisWindow* analysis = driver.analysisWindow();
    ASSERT_NE(analysis, nullptr);
    const QRect available = analysis->screen()->availableGeometry();
    const QRect place = analysis->geometry();
    EXPECT_TRUE(available.contains(place))
        << available.x() << "," << available.y() << " " << available.width() << "x" << available.height() << " against "
        << place.x() << "," << place.y() << " " << place.width() << "x" << place.height();
    const QSize smallest = analysis->minimumSizeHint().expandedTo(analysis->minimumSize());
    EXPECT_LE(smallest.width(), available.width());
    EXPECT_LE(smallest.height(), available.height());
    auto* scroll = analysis->findChild<QScrollArea*>(QStringLiteral("runScroll"));
    ASSERT_NE(scroll, nullptr);
    const auto* exportButton = scroll->widget()->findChild<QPushButton*>(QStringLiteral("exportButton"));
    ASSERT_NE(exportButton, nullptr);
    EXPECT_EQ(exportButton->window(), analysis);
    EXPECT_NE(analysis->findChild<QScrollArea*>(QStringLiteral("whatIfScroll")), nullptr);
}

TEST_F(WindowTest, ShowsThePicturePixelForPixelDoubled)
{
    for (int i = 0; i < 300; ++i) {
        driver.deliverTimerMove();
    }
    const QImage big = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage one = RenderAtOne(window);
    ASSERT_EQ(big.size(), one.size() * kZoom);

    // Sharp: the queue outline's 2 px top edge is 4 device pixels of pure
    // blue with no blended row on either side.
    const int top = 456 - 32 * driver.form().sim.QueueLength;
    for (int y = kZoom * top; y < kZoom * (top + 2); ++y) {
        EXPECT_EQ(big.pixelColor(400, y), kBlue) << "row " << y;
    }
    for (int y : {kZoom * top - 1, kZoom * (top + 2)}) {
        const QColor c = big.pixelColor(400, y);
        EXPECT_NE(c, kBlue);
        EXPECT_GT(c.red() + c.green(), 300) << "row " << y << " is blended, not sharp";
    }

    // The same picture: every 2 x 2 block, averaged, is close to the pixel
    // the window draws at zoom 1; only the edges of letters may differ.
    int differing = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            int sum = 0;
            for (int dy = 0; dy < kZoom; ++dy) {
                for (int dx = 0; dx < kZoom; ++dx) {
                    sum += qGray(big.pixel(kZoom * x + dx, kZoom * y + dy));
                }
            }
            differing += std::abs(sum / (kZoom * kZoom) - qGray(one.pixel(x, y))) > 64 ? 1 : 0;
        }
    }
    EXPECT_LT(differing, one.width() * one.height() / 200);
}

}  // namespace
}  // namespace waitline::test

int main(int argc, char** argv)
{
    // As `waitline --zoom 2` does, before the application exists.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(waitline::test::kZoom));
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The analysis window keeps its place in the user's settings; these
    // tests keep theirs in a folder of their own.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
