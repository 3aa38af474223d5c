#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <string_view>

#include "control/form.h"
#include "control/lecture_speed.h"
#include "engine/controls.h"

class QAction;
class QPushButton;
class QTimer;

namespace waitline {

class AnalysisWindow;
class Canvas;
class HelpWindow;
class ChoiceComboBox;
class MainWindow;
class ValueAnnouncer;

// How tools and tests drive the main window: its timers' events on request,
// user actions through the real widgets, its picture and its Form.
class WindowDriver {
public:
    explicit WindowDriver(MainWindow& window) : window_(window) {}

    Form& form();
    const Form& form() const;

    // Shows the display model and the packet table again. Call after changing
    // the Form directly.
    void sync();

    // With false, the two QTimers never run and events come only from
    // deliverTimerMove/deliverTimerCheck. True (the default) lets them follow
    // the model's TimerMove/TimerCheck Enabled flags.
    void setTimersAutomatic(bool automatic);

    // One event of each timer, exactly as the QTimer's timeout delivers it.
    // Returns false when nothing ran: the timer is disabled in the model, or
    // another handler is running.
    bool deliverTimerMove();
    bool deliverTimerCheck();

    // Presses the button through the real QPushButton.
    void clickButton(ButtonId id);

    // Replaces the box's text as if the user selected all of it and typed
    // `text` into its field. Returns false for a list-only box.
    bool typeText(ComboId id, const QString& text);

    // Picks the list entry with exactly this text, as if from the opened list.
    // Returns false when no entry has that text.
    bool chooseEntry(ComboId id, const QString& entry);

    // Where the "Silly Error: Ran Out of Packets" message goes instead of the
    // modal box. The handler runs inside the handler that raised the message.
    void setMessageHandler(std::function<void(std::string_view)> handler);

    // Whether a handler is running right now.
    bool handlerRunning() const;

    // The client area as shown now, 792 x 567.
    QImage grabClientArea();

    // Opens the analysis window as the context menu and Ctrl+I do: made on
    // first use, then shown and raised.
    void openAnalysis();
    // Null until the analysis window was first opened.
    AnalysisWindow* analysisWindow() const;

    // The entries of the right-click menu, in order; separators included.
    QList<QAction*> contextMenuActions();
    // Null until F1 first opened the help window.
    HelpWindow* helpWindow() const;
    // Picks the speed as its context menu entry does.
    void setSpeed(LectureSpeed speed);
    LectureSpeed speed() const;
    // One tick while paused, as the context menu's "Step" and Ctrl+. run it.
    // Returns false when nothing ran: not paused, or another handler is
    // running.
    bool stepOnce();

    QPushButton* button(ButtonId id) const;
    ChoiceComboBox* combo(ComboId id) const;
    Canvas* canvas() const;
    QTimer* timerMove() const;
    QTimer* timerCheck() const;
    ValueAnnouncer& announcer() const;

private:
    MainWindow& window_;
};

}  // namespace waitline
