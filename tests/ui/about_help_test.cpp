// What the window tells about itself: the About box, the F1 help taken from
// the README, the program's identity on the desktop and the focus ring.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "statistics/measures.h"
#include "tests/ui/window_fixture.h"
#include "ui/common/text.h"
#include "ui/help_and_about/help_window.h"
#include "ui/help_and_about/program_identity.h"
#include "ui/main_window/focus_ring_style.h"

namespace waitline::test {
namespace {

QAction* ActionNamed(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* action : actions) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

TEST_F(WindowTest, AboutBoxGivesVersionLicenceAndWhatTheDemoShows)
{
    QAction* about = ActionNamed(driver.contextMenuActions(), QStringLiteral("About Waitline"));
    ASSERT_NE(about, nullptr);
    about->trigger();
    auto* box = window.findChild<QMessageBox*>(QStringLiteral("AboutBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("Waitline " WAITLINE_VERSION));
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("MIT licence")));
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("turned away")));
    EXPECT_FALSE(box->iconPixmap().isNull());
    // The run goes on behind it: it is not application-modal.
    EXPECT_NE(box->windowModality(), Qt::ApplicationModal);
    box->close();
}

TEST_F(WindowTest, ContextMenuKeepsAnalysisFirstThenHelpAndAbout)
{
    QStringList texts;
    for (QAction* action : driver.contextMenuActions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    ASSERT_GE(texts.size(), 3);
    EXPECT_EQ(texts.front(), QStringLiteral("Analysis\u2026"));
    EXPECT_TRUE(texts.contains(QStringLiteral("Help")));
    EXPECT_TRUE(texts.contains(QStringLiteral("About Waitline")));
}

// The two README sections, and only those, with their tables.
TEST(HelpText, HoldsHowToReadTheDemoAndTheControls)
{
    const QString markdown = HelpMarkdown();
    EXPECT_TRUE(markdown.startsWith(QStringLiteral("## How to read the demo\n")));
    EXPECT_TRUE(markdown.contains(QStringLiteral("\n## The controls\n")));
    EXPECT_TRUE(markdown.contains(QStringLiteral("| **Go / Stop** |")));
    EXPECT_FALSE(markdown.contains(QStringLiteral("\n## Starting it from a terminal")));

    QFile readme(QStringLiteral(WAITLINE_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    // Cut just before the next section.
    EXPECT_TRUE(QString::fromUtf8(readme.readAll()).contains(markdown + QStringLiteral("\n## ")));
}

TEST_F(WindowTest, F1OpensTheHelpWhereverTheFocusIs)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // An editable box's line edit sees keys before the window does.
    driver.combo(ComboId::ArrivalCombo)->setFocus(Qt::TabFocusReason);
    QWidget* focus = QApplication::focusWidget();
    auto* box = qobject_cast<QComboBox*>(focus);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isEditable());
    QTest::keyClick(focus, Qt::Key_F1);
    HelpWindow* help = driver.helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->plainText();
    EXPECT_TRUE(text.contains(QStringLiteral("The packet's road.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Pause / Continue")));
    // Shown as formatted text, not as Markdown source.
    EXPECT_FALSE(text.contains(QStringLiteral("**")));

    // Esc closes it, and F1 brings the same window back.
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(driver.helpWindow(), help);
    EXPECT_TRUE(help->isVisible());
    help->close();
}

TEST(ProgramIdentity, MatchesTheMenuEntry)
{
    // The application is shared by every test: put back what this changes.
    const QString savedName = QCoreApplication::applicationName();
    const QString savedVersion = QCoreApplication::applicationVersion();
    const QString savedDesktopFile = QGuiApplication::desktopFileName();
    const QIcon savedIcon = QApplication::windowIcon();
    IdentifyProgram();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.waitline.Waitline"));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::windowIcon().pixmap(32, 32).size(), QSize(32, 32));

    // On X11 a window's class is the application's name; the menu entry
    // names the same class, and its own name is the desktop file name.
    QSettings entry(QStringLiteral(WAITLINE_DESKTOP_FILE), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")).toString(), QCoreApplication::applicationName());
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), QGuiApplication::desktopFileName());
    EXPECT_TRUE(QStringLiteral(WAITLINE_DESKTOP_FILE).endsWith(QGuiApplication::desktopFileName() + ".desktop"));
    QCoreApplication::setApplicationName(savedName);
    QCoreApplication::setApplicationVersion(savedVersion);
    QGuiApplication::setDesktopFileName(savedDesktopFile);
    QApplication::setWindowIcon(savedIcon);
}

// Counts the pixels of the ring's colour along a control's left edge.
int RingPixelsOnLeftEdge(QWidget* control)
{
    const QImage image = control->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        count += image.pixelColor(kFocusRingWidth - 1, y) == kFocusRing ? 1 : 0;
    }
    return count;
}

TEST_F(WindowTest, OnlyTheFocusedControlWearsTheRing)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    std::vector<QWidget*> controls;
    controls.reserve(kComboControls.size() + kButtonControls.size());
    for (const ComboControl& c : kComboControls) {
        controls.push_back(driver.combo(c.id));
    }
    for (const ButtonControl& b : kButtonControls) {
        controls.push_back(driver.button(b.id));
    }
    for (QWidget* focused : controls) {
        focused->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(focused->hasFocus()) << focused->objectName().toStdString();
        for (QWidget* control : controls) {
            const int ring = RingPixelsOnLeftEdge(control);
            if (control == focused) {
                EXPECT_EQ(ring, control->height()) << control->objectName().toStdString();
            } else {
                EXPECT_EQ(ring, 0) << control->objectName().toStdString();
            }
        }
    }
}

// The README's table of measures says what the measures table says: each
// row's symbol, name, key and meaning, in the table's order.
TEST(Readme, ListsEveryMeasureAsTheProgramNamesIt)
{
    QFile readme(QStringLiteral(WAITLINE_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    qsizetype from = 0;
    for (const Measure& m : kMeasures) {
        const QString row =
            QStringLiteral("| %1 | %2 | `%3` | ").arg(ToQString(m.symbol), ToQString(m.name), ToQString(m.key));
        const qsizetype at = text.indexOf(row, from);
        ASSERT_GE(at, 0) << "the README has no row " << row.toStdString();
        const qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        EXPECT_TRUE(text.mid(at, end - at).endsWith(QStringLiteral("| ") + ToQString(m.meaning) + QStringLiteral(" |")))
            << m.key;
        from = at;
    }
}

}  // namespace
}  // namespace waitline::test
