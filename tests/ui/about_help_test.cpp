// What the window tells about itself: the About box, the F1 help taken from
// the README, the program's identity on the desktop and the focus ring.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "control/window_actions.h"
#include "statistics/measures.h"
#include "tests/ui/window_fixture.h"
#include "ui/common/text.h"
#include "ui/help_and_about/help_window.h"
#include "ui/help_and_about/program_identity.h"
#include "ui/main_window/focus_ring_style.h"

namespace waitline::test {
namespace {

TEST_F(WindowTest, AboutBoxGivesVersionLicenceAndWhatTheDemoShows)
{
    QAction* about = EntryNamed(driver.contextMenuActions(), QStringLiteral("About Waitline"));
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

// A row's keys, in portable text.
QStringList KeysOf(const WindowAction& row)
{
    QStringList keys;
    for (const std::string_view key : row.keys) {
        if (!key.empty()) {
            keys << ToQString(key);
        }
    }
    return keys;
}

QString ReadmeText()
{
    QFile readme(QStringLiteral(WAITLINE_README));
    return readme.open(QIODevice::ReadOnly) ? QString::fromUtf8(readme.readAll()) : QString();
}

// The menu, the submenu and the keys are the table of actions, in its order:
// every row shows once, where it says, with its keys working wherever the
// focus is.
TEST_F(WindowTest, MenuAndKeysAreTheTableOfActions)
{
    std::vector<const QAction*> shown;
    for (QAction* entry : driver.contextMenuActions()) {
        if (entry->menu() != nullptr) {
            EXPECT_EQ(entry->text(), ToQString(kSpeedMenuText));
            for (QAction* inner : entry->menu()->actions()) {
                if (!inner->isSeparator()) {
                    shown.push_back(inner);
                    EXPECT_EQ(inner->property("inSpeedMenu"), QVariant()) << "shown twice";
                    inner->setProperty("inSpeedMenu", true);
                }
            }
        } else if (!entry->isSeparator()) {
            shown.push_back(entry);
        }
    }
    ASSERT_EQ(shown.size(), kWindowActions.size());
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const WindowAction& row = kWindowActions[k];
        const QAction* action = shown[k];
        EXPECT_EQ(action->objectName(), ToQString(row.name));
        EXPECT_EQ(action->text(), ToQString(row.text));
        EXPECT_EQ(action->property("inSpeedMenu").toBool(), row.place == ActionPlace::SpeedMenu) << row.name;
        EXPECT_EQ(action->shortcutContext(), Qt::ApplicationShortcut) << row.name;
        const QStringList keys = KeysOf(row);
        QStringList bound;
        for (const QKeySequence& key : action->shortcuts()) {
            bound << key.toString(QKeySequence::PortableText);
        }
        EXPECT_EQ(bound, keys) << row.name;
    }
}

// The two README sections, and only those, with their tables.
TEST(HelpText, HoldsHowToReadTheDemoAndTheControls)
{
    const QString markdown = HelpMarkdown();
    EXPECT_TRUE(markdown.startsWith(QStringLiteral("## How to read the demo\n")));
    EXPECT_TRUE(markdown.contains(QStringLiteral("\n## The controls\n")));
    EXPECT_TRUE(markdown.contains(QStringLiteral("| **Go / Stop** |")));
    EXPECT_FALSE(markdown.contains(QStringLiteral("\n## Starting it from a terminal")));

    // Cut just before the next section.
    EXPECT_TRUE(ReadmeText().contains(markdown + QStringLiteral("\n## ")));
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
    const QString text = ReadmeText();
    ASSERT_FALSE(text.isEmpty());
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

// The menu as users know it, separators included.
TEST_F(WindowTest, MenuKeepsItsEntriesAndSeparators)
{
    const auto layout = [](const QList<QAction*>& entries, const auto& self) -> QString {
        QStringList parts;
        for (const QAction* entry : entries) {
            if (entry->isSeparator()) {
                parts << QStringLiteral("-");
            } else if (entry->menu() != nullptr) {
                parts << entry->text() + QStringLiteral(" [") + self(entry->menu()->actions(), self) +
                             QStringLiteral("]");
            } else {
                parts << entry->text();
            }
        }
        return parts.join(QStringLiteral(", "));
    };
    EXPECT_EQ(layout(driver.contextMenuActions(), layout),
              QStringLiteral("Analysis\u2026, -, Speed [\u00bc\u00d7, \u00bd\u00d7, 1\u00d7, 2\u00d7, 4\u00d7, -, "
                             "Faster, Slower], Step, -, Help, About Waitline"));
}

// The README's table of keys and menu entries, which the help shows too, is the
// table of actions, row by row in its order.
TEST(Readme, ListsEveryActionWithItsKeys)
{
    const QString text = ReadmeText();
    ASSERT_FALSE(text.isEmpty());
    qsizetype from = 0;
    for (const WindowAction& row : kWindowActions) {
        QString where = row.place == ActionPlace::SpeedMenu ? QStringLiteral("menu, ") + ToQString(kSpeedMenuText)
                                                            : QStringLiteral("menu");
        if (row.onlyWhilePaused) {
            where += QStringLiteral(", while paused");
        }
        const QStringList keys = KeysOf(row);
        const QString line = QStringLiteral("| %1 | %2 | %3 |\n")
                                 .arg(ToQString(row.text), where, keys.join(QStringLiteral(" or ")))
                                 .replace(QStringLiteral("|  |"), QStringLiteral("| |"));
        const qsizetype at = text.indexOf(line, from);
        ASSERT_GE(at, 0) << "the README has no row " << line.toStdString();
        from = at;
    }
}

}  // namespace
}  // namespace waitline::test
