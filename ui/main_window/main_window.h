#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "control/form.h"
#include "control/lecture_speed.h"
#include "control/window_actions.h"
#include "ui/accessibility/value_announcer.h"
#include "ui/main_window/queue_picture.h"

class QAction;
class QMenu;
class QPushButton;
class QTimer;

namespace waitline {

class AnalysisWindow;
class ChoiceComboBox;
class HelpWindow;

// The main window: a fixed 792 x 567 client area with the queue picture, two
// buttons and six combo boxes. It owns the Form; every user action and timer
// event goes to a Form handler, and after each handler the window shows the
// display model again. No handler ever runs inside another: while one runs
// (for instance while the "Ran Out of Packets" box is open) further timer
// events and user actions are dropped.
//
// Control names (objectName): "StartButton", "PauseButton", the six combo
// names, the label names, "shpFIFO", "Line1".."Line6", "Line12"; members of
// control arrays carry their index in the name and in the property "index":
// "boxQueue0".."boxQueue10", "sPacket0".."sPacket50", "LineOut0".."LineOut4",
// "linServerLeft0".., "linServer0".., "linServerTop0".., "linServerBottom0"..
// Timers: QTimer objects "TimerMove" and "TimerCheck".
//
// The right-click menu and the keys, the analysis window, the help, About and
// the lecture controls among them, are the rows of kWindowActions. The
// analysis and help windows are made on first use and kept.
//
// Tools and tests drive the window through a WindowDriver.
class MainWindow : public QWidget, private ActionTarget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: runs FormLoad and shows its result. Call once, before show().
    void load();

private:
    friend class WindowDriver;

    void buildControls();
    void buildTimers();
    void orderTabStops();
    void buildActions();
    // The right-click menu, made on first use.
    QMenu* contextMenu();
    QAction* action(ActionId id) const { return actions_[static_cast<std::size_t>(id)]; }

    // What the actions do.
    void showAnalysis() override;
    void setSpeed(LectureSpeed speed) override;
    LectureSpeed speed() const override { return speed_; }
    void step() override { stepOnce(); }
    void showHelp() override;
    void showAbout() override;
    // A point of a "What if" sweep: the demo stops, if it runs, and the boxes
    // take the point's settings as a user would set them. False when another
    // handler is running.
    bool takeSettings(const SeriesSettings& settings);
    // Runs the ticks one move timer event owes at the current speed. Returns
    // whether any ran.
    bool runMoveTicks();
    // One tick while paused, shown as a move timer event shows it. Returns
    // false when nothing ran: not paused, or another handler is running.
    bool stepOnce();

    // Runs `handler` unless another handler is running, then shows the
    // display model again. Returns whether it ran.
    bool runHandler(const std::function<void()>& handler, bool controlsMayChange = true);
    // One event of each timer. Returns false when nothing ran: the timer is
    // disabled in the model, or another handler is running.
    bool deliverTimerMove();
    bool deliverTimerCheck();
    void showMessageBox(std::string_view text);

    // Pushes the display model and the packet table into the widgets and
    // repaints what changed.
    void sync();
    void syncCombo(ComboId id);
    void syncTimers();
    void syncTimer(QTimer* timer, const Timer& model, std::int32_t interval);

    QPushButton* button(ButtonId id) const { return buttons_[static_cast<std::size_t>(id)]; }
    ChoiceComboBox* combo(ComboId id) const { return combos_[static_cast<std::size_t>(id)]; }

    Form form_;
    bool handlerRunning_ = false;
    // With false, the two QTimers never run and timer events come only from
    // the driver; true lets them follow the model's Enabled flags.
    bool timersAutomatic_ = true;
    // Where the "Ran Out of Packets" message goes: a modal box unless a tool
    // records messages instead. It runs inside the handler that raised it.
    std::function<void(std::string_view)> messageHandler_;

    // Built first, so that the controls lie on top of the canvas.
    QueuePicture picture_;
    std::array<QPushButton*, kButtonControls.size()> buttons_{};
    // The model's captions the buttons show, as the model spells them.
    std::array<std::string, kButtonControls.size()> buttonCaptions_{};
    std::array<ChoiceComboBox*, kComboControls.size()> combos_{};
    QTimer* timerMove_ = nullptr;
    QTimer* timerCheck_ = nullptr;

    // In the order of kWindowActions.
    std::array<QAction*, kWindowActions.size()> actions_{};
    QMenu* contextMenu_ = nullptr;  // made on the first right click
    HelpWindow* help_ = nullptr;    // made on first use
    // Made on first use. Declared after form_, so that it goes first: it
    // points into the Form until it is gone.
    std::unique_ptr<AnalysisWindow> analysis_;

    LectureSpeed speed_ = LectureSpeed::RealTime;
    // Counts the messages a tick raised, so that a fast event stops at one.
    std::uint64_t messagesShown_ = 0;
    // Tells screen readers of changed counts and statistics, once a second.
    ValueAnnouncer announcer_{*picture_.canvas()};
};

}  // namespace waitline
