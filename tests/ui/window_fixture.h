#pragma once

#include <QAction>
#include <QColor>
#include <QImage>
#include <QList>

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
// Colours print as rgb(r,g,b) in failure messages.
inline void PrintTo(const QColor& c, std::ostream* os)
{
    *os << "rgb(" << c.red() << ',' << c.green() << ',' << c.blue() << ')';
}
QT_END_NAMESPACE

#include "ui/main_window/canvas.h"
#include "ui/main_window/choice_combo_box.h"
#include "ui/main_window/drawn_items.h"
#include "ui/main_window/main_window.h"
#include "ui/window_driver/window_driver.h"

namespace waitline::test {

const QColor kGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

// The menu entry with this text, or null.
inline QAction* EntryNamed(const QList<QAction*>& entries, const QString& text)
{
    for (QAction* entry : entries) {
        if (entry->text() == text) {
            return entry;
        }
    }
    return nullptr;
}

// A started-up window whose timers never fire on their own.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.setTimersAutomatic(false);
        window.load();
    }

    QColor pixel(const QImage& image, int x, int y) const { return image.pixelColor(x, y); }

    MainWindow window;
    WindowDriver driver{window};
};

}  // namespace waitline::test
