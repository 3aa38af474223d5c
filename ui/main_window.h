#pragma once

#include <QComboBox>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <string_view>

#include "control/form.h"

class QPushButton;
class QTimer;

namespace waitline {

class Canvas;
class DrawnItem;

// An editable combo box whose Enter key and loss of focus never count as the
// user choosing a list entry; only the list itself (or the arrow keys and the
// wheel on the closed box) does.
class ChoiceComboBox : public QComboBox {
    Q_OBJECT
public:
    ChoiceComboBox(bool editable, QWidget* parent);

Q_SIGNALS:
    // The user chose the entry at this index.
    void chosen(int index);

private:
    bool lineEditFinishing_ = false;
};

// The main window: a fixed 792 x 567 client area with the queue picture, two
// buttons and six combo boxes. It owns the Form; every user action and timer
// event goes to a Form handler, and after each handler sync() shows the
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
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 792;
    static constexpr int kHeight = 567;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: runs FormLoad and shows its result. Call once, before show().
    void load();

    Form& form() { return form_; }
    const Form& form() const { return form_; }

    // Pushes the display model and the packet table into the widgets and
    // repaints. Call after changing the Form directly.
    void sync();

    // --- For tools and tests -------------------------------------------------

    // With false, the two QTimers never run and events come only from
    // deliverTimerMove/deliverTimerCheck. True (the default) lets them follow
    // the model's TimerMove/TimerCheck Enabled flags.
    void setTimersAutomatic(bool automatic);
    bool timersAutomatic() const { return timersAutomatic_; }

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

    // Where the "Silly Error: Ran Out of Packets" message goes. By default a
    // modal box with an OK button; a tool can record messages instead. The
    // handler runs inside the handler that raised the message.
    void setMessageHandler(std::function<void(std::string_view)> handler);

    // The client area as shown now, 792 x 567.
    QImage grabClientArea();

    // Whether a handler is running right now.
    bool handlerRunning() const { return handlerRunning_; }

    QPushButton* button(ButtonId id) const;
    ChoiceComboBox* combo(ComboId id) const;
    Canvas* canvas() const { return canvas_; }
    QTimer* timerMove() const { return timerMove_; }
    QTimer* timerCheck() const { return timerCheck_; }

private:
    // Runs `handler` unless another handler is running, then syncs. Returns
    // whether it ran.
    bool runHandler(const std::function<void()>& handler, bool controlsMayChange = true);
    // Shows the packets, labels and queue drawing; sync() also shows the
    // combo boxes and buttons, which a tick never changes.
    void syncPicture();
    void showMessageBox(std::string_view text);

    void buildControls();
    void buildPicture();
    void syncCombo(ComboId id);
    // Shows the model's queue drawing; returns whether the picture changed.
    bool syncQueueDrawing();
    // Keeps an area of the canvas to repaint at the end of sync(); false
    // when no room is left.
    bool markDirty(const QRect& area);
    void syncTimer(QTimer* timer, const Timer& model);

    Form form_;
    bool handlerRunning_ = false;
    bool timersAutomatic_ = true;
    std::function<void(std::string_view)> messageHandler_;

    Canvas* canvas_ = nullptr;
    std::array<QPushButton*, 2> buttons_{};
    std::array<ChoiceComboBox*, 6> combos_{};
    QTimer* timerMove_ = nullptr;
    QTimer* timerCheck_ = nullptr;

    // The drawn items the model changes.
    DrawnItem* shpFIFO_ = nullptr;
    DrawnItem* line12_ = nullptr;
    std::array<DrawnItem*, 11> boxQueue_{};
    std::array<std::array<DrawnItem*, kServerLineCount>, 5> serverLines_{};
    std::array<DrawnItem*, MaxPacket + 1> packets_{};
    std::array<DrawnItem*, 9> valueLabels_{};

    // The canvas areas one sync() repaints: at most two per packet and one
    // per label.
    std::array<QRect, 2 * (MaxPacket + 1) + 9> dirty_{};
    std::size_t dirtyCount_ = 0;
};

}  // namespace waitline
