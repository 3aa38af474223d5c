#include "ui/window_driver/window_driver.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include <utility>

#include "picture/layout.h"
#include "ui/analysis_window/analysis_window.h"
#include "ui/common/picture_in_qt.h"
#include "ui/main_window/choice_combo_box.h"
#include "ui/main_window/main_window.h"

namespace waitline {

Form& WindowDriver::form() { return window_.form_; }

const Form& WindowDriver::form() const { return window_.form_; }

void WindowDriver::sync() { window_.sync(); }

void WindowDriver::setTimersAutomatic(bool automatic)
{
    window_.timersAutomatic_ = automatic;
    window_.syncTimers();
}

bool WindowDriver::deliverTimerMove() { return window_.deliverTimerMove(); }

bool WindowDriver::deliverTimerCheck() { return window_.deliverTimerCheck(); }

void WindowDriver::clickButton(ButtonId id) { button(id)->click(); }

bool WindowDriver::typeText(ComboId id, const QString& text)
{
    QLineEdit* edit = combo(id)->lineEdit();
    if (edit == nullptr) {
        return false;
    }
    edit->selectAll();
    if (text.isEmpty()) {
        edit->del();
    } else {
        edit->insert(text);
    }
    return true;
}

bool WindowDriver::chooseEntry(ComboId id, const QString& entry)
{
    ChoiceComboBox* c = combo(id);
    const int index = c->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        return false;
    }
    {
        const QSignalBlocker block(c);
        c->setCurrentIndex(index);
    }
    Q_EMIT c->chosen(index);
    return true;
}

void WindowDriver::setMessageHandler(std::function<void(std::string_view)> handler)
{
    window_.messageHandler_ = std::move(handler);
}

bool WindowDriver::handlerRunning() const { return window_.handlerRunning_; }

QImage WindowDriver::grabClientArea()
{
    return window_.grab(QRect(QPoint(0, 0), ToQt(layout::kClientSize))).toImage().convertToFormat(QImage::Format_RGB32);
}

void WindowDriver::openAnalysis() { window_.action(ActionId::Analysis)->trigger(); }

AnalysisWindow* WindowDriver::analysisWindow() const { return window_.analysis_.get(); }

QList<QAction*> WindowDriver::contextMenuActions() { return window_.contextMenu()->actions(); }

HelpWindow* WindowDriver::helpWindow() const { return window_.help_; }

void WindowDriver::setSpeed(LectureSpeed speed)
{
    for (const WindowAction& row : kWindowActions) {
        if (row.speed == speed) {
            window_.action(row.id)->trigger();
        }
    }
}

LectureSpeed WindowDriver::speed() const { return window_.speed_; }

bool WindowDriver::stepOnce() { return window_.stepOnce(); }

QPushButton* WindowDriver::button(ButtonId id) const { return window_.button(id); }

ChoiceComboBox* WindowDriver::combo(ComboId id) const { return window_.combo(id); }

Canvas* WindowDriver::canvas() const { return window_.picture_.canvas(); }

QTimer* WindowDriver::timerMove() const { return window_.timerMove_; }

QTimer* WindowDriver::timerCheck() const { return window_.timerCheck_; }

ValueAnnouncer& WindowDriver::announcer() const { return window_.announcer_; }

}  // namespace waitline
