// The main window's actions, made from the table of actions: the right-click
// menu, the application-wide keys and what each does, the lecture speeds and
// the single tick among them.
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>

#include "ui/analysis_window/analysis_window.h"
#include "ui/common/text.h"
#include "ui/help_and_about/about_box.h"
#include "ui/help_and_about/help_window.h"
#include "ui/main_window/main_window.h"

#include "control/apply_settings.h"

namespace waitline {

void MainWindow::buildActions()
{
    auto* speeds = new QActionGroup(this);
    speeds->setExclusive(true);
    for (const WindowAction& row : kWindowActions) {
        auto* action = new QAction(Translated("Actions", row.text), this);
        action->setObjectName(ToQString(row.name));
        QList<QKeySequence> keys;
        for (const std::string_view key : row.keys) {
            if (!key.empty()) {
                keys << QKeySequence(ToQString(key), QKeySequence::PortableText);
            }
        }
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
        if (row.speed) {
            action->setCheckable(true);
            action->setChecked(*row.speed == speed_);
            speeds->addAction(action);
        }
        connect(action, &QAction::triggered, this, [this, run = row.run] { run(*this); });
        actions_[static_cast<std::size_t>(row.id)] = action;
    }
    // The picture takes no right click itself, so a right click on it reaches
    // the window.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu()->popup(mapToGlobal(at)); });
}

QMenu* MainWindow::contextMenu()
{
    if (contextMenu_ != nullptr) {
        return contextMenu_;
    }
    contextMenu_ = new QMenu(this);
    QMenu* speedMenu = nullptr;
    for (const WindowAction& row : kWindowActions) {
        QMenu* into = contextMenu_;
        if (row.place == ActionPlace::SpeedMenu) {
            if (speedMenu == nullptr) {
                if (row.separatorBefore) {
                    contextMenu_->addSeparator();
                }
                speedMenu = contextMenu_->addMenu(Translated("Actions", kSpeedMenuText));
            } else if (row.separatorBefore) {
                speedMenu->addSeparator();
            }
            into = speedMenu;
        } else if (row.separatorBefore) {
            contextMenu_->addSeparator();
        }
        into->addAction(action(row.id));
    }
    const auto enableWhilePaused = [this](bool paused) {
        for (const WindowAction& row : kWindowActions) {
            if (row.onlyWhilePaused) {
                action(row.id)->setEnabled(paused);
            }
        }
    };
    connect(contextMenu_, &QMenu::aboutToShow, this, [this, enableWhilePaused] { enableWhilePaused(IsPaused(form_)); });
    connect(contextMenu_, &QMenu::aboutToHide, this, [enableWhilePaused] { enableWhilePaused(true); });
    return contextMenu_;
}

void MainWindow::showAnalysis()
{
    if (!analysis_) {
        analysis_ = std::make_unique<AnalysisWindow>(form_, this);
        connect(analysis_.get(), &AnalysisWindow::settingsChosen, this,
                [this](const SeriesSettings& settings) { takeSettings(settings); });
    }
    analysis_->show();
    analysis_->raise();
    analysis_->activateWindow();
}

void MainWindow::showHelp()
{
    if (help_ == nullptr) {
        help_ = new HelpWindow(this);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::showAbout() { MakeAboutBox(this)->open(); }

void MainWindow::setSpeed(LectureSpeed speed)
{
    speed_ = speed;
    for (const WindowAction& row : kWindowActions) {
        if (row.speed == speed) {
            action(row.id)->setChecked(true);
        }
    }
    action(ActionId::Faster)->setEnabled(speed != kLectureSpeeds.back());
    action(ActionId::Slower)->setEnabled(speed != kLectureSpeeds.front());
    // The picture stays as it is at every speed; the title bar, which a class
    // sees on the projector, tells that the clock is not running in real time.
    setWindowTitle(WindowTitle(speed == LectureSpeed::RealTime ? QString() : Translated("Actions", SpeedName(speed))));
    syncTimers();
}

bool MainWindow::stepOnce()
{
    bool stepped = false;
    runHandler([this, &stepped] { stepped = StepOneTick(form_); }, false);
    return stepped;
}

bool MainWindow::takeSettings(const SeriesSettings& settings)
{
    // Stopped first, so that the new settings wait for Go.
    return runHandler([this, &settings] {
        if (form_.sim.Running) {
            Click(form_, ButtonId::StartButton);
        }
        ApplySettings(form_, settings);
    });
}

}  // namespace waitline
