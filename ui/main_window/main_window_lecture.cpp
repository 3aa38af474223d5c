// The main window's lecture controls: the speed against the wall clock and a
// single tick while paused.
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

#include "ui/common/text.h"
#include "ui/main_window/main_window.h"

namespace waitline {

namespace {

// Every lecture key works wherever the focus is, like Ctrl+I: the focus mostly
// sits in a combo box's line edit, which would otherwise see the key first.
// None of these keys means anything to a line edit.
QAction* MakeAction(QWidget& window, const QString& text, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, &window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    window.addAction(action);
    return action;
}

}  // namespace

void MainWindow::buildLectureControls()
{
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (const LectureSpeed speed : kLectureSpeeds) {
        QList<QKeySequence> keys;
        if (speed == LectureSpeed::RealTime) {
            keys << QKeySequence(Qt::CTRL | Qt::Key_0);
        }
        QAction* action = MakeAction(*this, ToQString(SpeedName(speed)), keys);
        action->setCheckable(true);
        action->setChecked(speed == speed_);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, speed] { setSpeed(speed); });
        speedActions_[SpeedIndex(speed)] = action;
    }
    // Ctrl+= is Ctrl++ without Shift on keyboards that have both on one key.
    fasterAction_ = MakeAction(*this, QStringLiteral("Faster"),
                               {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(fasterAction_, &QAction::triggered, this, [this] { setSpeed(Faster(speed_)); });
    slowerAction_ = MakeAction(*this, QStringLiteral("Slower"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    connect(slowerAction_, &QAction::triggered, this, [this] { setSpeed(Slower(speed_)); });
    stepAction_ = MakeAction(*this, QStringLiteral("Step"), {QKeySequence(Qt::CTRL | Qt::Key_Period)});
    connect(stepAction_, &QAction::triggered, this, [this] { stepOnce(); });
}

void MainWindow::addLectureEntries(QMenu& menu)
{
    menu.addSeparator();
    QMenu* speedMenu = menu.addMenu(QStringLiteral("Speed"));
    for (QAction* action : speedActions_) {
        speedMenu->addAction(action);
    }
    speedMenu->addSeparator();
    speedMenu->addAction(fasterAction_);
    speedMenu->addAction(slowerAction_);
    menu.addAction(stepAction_);
    // The entry is greyed while the run is not paused; its key stays live and
    // simply does nothing then, so that it never waits for the menu to
    // notice a pause.
    connect(&menu, &QMenu::aboutToShow, this, [this] { stepAction_->setEnabled(IsPaused(form_)); });
    connect(&menu, &QMenu::aboutToHide, this, [this] { stepAction_->setEnabled(true); });
}

void MainWindow::setSpeed(LectureSpeed speed)
{
    speed_ = speed;
    speedActions_[SpeedIndex(speed)]->setChecked(true);
    fasterAction_->setEnabled(speed != kLectureSpeeds.back());
    slowerAction_->setEnabled(speed != kLectureSpeeds.front());
    // The picture stays as it is at every speed; the title bar, which a class
    // sees on the projector, tells that the clock is not running in real time.
    setWindowTitle(WindowTitle(speed == LectureSpeed::RealTime ? QString() : ToQString(SpeedName(speed))));
    syncTimers();
}

bool MainWindow::stepOnce()
{
    bool stepped = false;
    runHandler([this, &stepped] { stepped = StepOneTick(form_); }, false);
    return stepped;
}

}  // namespace waitline
