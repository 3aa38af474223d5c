#include "ui/main_window/main_window.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <string>

#include "picture/colours.h"
#include "picture/layout.h"
#include "picture/queue_words.h"
#include "ui/accessibility/accessibility_factories.h"
#include "ui/accessibility/control_explanations.h"
#include "ui/analysis_window/analysis_window.h"
#include "ui/common/picture_in_qt.h"
#include "ui/common/text.h"
#include "ui/main_window/canvas.h"
#include "ui/main_window/choice_combo_box.h"
#include "ui/main_window/focus_ring_style.h"

namespace waitline {
namespace {

QWidget* InstallingAccessibleFactories(QWidget* parent)
{
    InstallAccessibilityFactories();
    return parent;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(InstallingAccessibleFactories(parent)), picture_(*this)
{
    setWindowTitle(WindowTitle());
    setFixedSize(ToQt(layout::kClientSize));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQt(kLightGrey));
    setPalette(pal);
    setAutoFillBackground(true);

    messageHandler_ = [this](std::string_view text) { showMessageBox(text); };
    form_.sim.showMessage = [this](std::string_view text) {
        ++messagesShown_;
        if (messageHandler_) {
            messageHandler_(text);
        }
    };

    buildControls();
    buildTimers();
    buildActions();
    sync();
}

MainWindow::~MainWindow()
{
    // Nothing may call back into the window while it is taken apart; the
    // canvas goes after the Form.
    form_.sim.showMessage = nullptr;
    picture_.canvas()->setDescriber({});
}

void MainWindow::load()
{
    runHandler([this] { FormLoad(form_); });
}

void MainWindow::buildControls()
{
    const QFont buttonFont = LayoutFont(layout::kButtonStyle);
    for (const layout::ButtonPlace& place : layout::kButtonPlaces) {
        const ButtonId id = place.id;
        auto* b = new QPushButton(this);
        b->setObjectName(ToQString(Control(id).name));
        b->setGeometry(ToQt(place.place));
        b->setFont(buttonFont);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(false);
        b->setStyle(SharedFocusRingStyle());
        connect(b, &QPushButton::clicked, this, [this, id] { runHandler([this, id] { Click(form_, id); }); });
        buttons_[static_cast<std::size_t>(id)] = b;
    }

    const QFont comboFont = LayoutFont(layout::kComboStyle);
    for (const layout::ComboPlace& place : layout::kComboPlaces) {
        const ComboId id = place.id;
        auto* c = new ChoiceComboBox(Combo(form_.sim.display, id).editable, this);
        c->setObjectName(ToQString(ComboName(id)));
        c->setFont(comboFont);
        QPalette pal = c->palette();
        pal.setColor(QPalette::Base, ToQt(kLightGrey));
        pal.setColor(QPalette::Button, ToQt(kLightGrey));
        c->setPalette(pal);
        c->setGeometry(ToQt(place.place));
        c->setFocusPolicy(Qt::StrongFocus);
        c->setStyle(SharedFocusRingStyle());
        c->setMaxVisibleItems(layout::kComboListRows);
        connect(c, &ChoiceComboBox::chosen, this, [this, id, c](int index) {
            const std::string entry = c->itemText(index).toStdString();
            runHandler([this, id, &entry] { ChooseEntry(form_, id, entry); });
        });
        if (QLineEdit* edit = c->lineEdit()) {
            connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                const std::string typed = text.toStdString();
                runHandler([this, id, &typed] { TypeText(form_, id, typed); });
            });
        }
        combos_[static_cast<std::size_t>(id)] = c;
    }
    orderTabStops();
    ExplainControls(*this);
    picture_.canvas()->setDescriber([this] { return ToQString(DescribeQueue(CountQueue(form_.sim))); });
}

void MainWindow::orderTabStops()
{
    // Tab visits the controls in this order; the focus starts on the first.
    const std::array<QWidget*, 8> tabOrder{combo(ComboId::SourceCombo),    combo(ComboId::ServiceCombo),
                                           combo(ComboId::ServerCombo),    combo(ComboId::QueueCombo),
                                           button(ButtonId::PauseButton),  combo(ComboId::ArrivalCombo),
                                           combo(ComboId::ServeRateCombo), button(ButtonId::StartButton)};
    for (std::size_t i = 0; i + 1 < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    }
    tabOrder.front()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::buildTimers()
{
    timerMove_ = new QTimer(this);
    timerMove_->setObjectName(QStringLiteral("TimerMove"));
    timerCheck_ = new QTimer(this);
    timerCheck_->setObjectName(QStringLiteral("TimerCheck"));
    for (QTimer* t : {timerMove_, timerCheck_}) {
        t->setTimerType(Qt::PreciseTimer);
        t->setSingleShot(false);
    }
    connect(timerMove_, &QTimer::timeout, this, [this] { deliverTimerMove(); });
    connect(timerCheck_, &QTimer::timeout, this, [this] { deliverTimerCheck(); });
}

bool MainWindow::runHandler(const std::function<void()>& handler, bool controlsMayChange)
{
    if (handlerRunning_) {
        return false;
    }
    handlerRunning_ = true;
    handler();
    handlerRunning_ = false;
    if (controlsMayChange) {
        sync();
    } else {
        picture_.show(form_.sim);
    }
    announcer_.shown();
    return true;
}

bool MainWindow::deliverTimerMove()
{
    bool delivered = false;
    // A tick reads the boxes but changes no control: only the picture follows,
    // once for all the ticks of the event.
    runHandler([this, &delivered] { delivered = runMoveTicks(); }, false);
    return delivered;
}

bool MainWindow::runMoveTicks()
{
    const int ticks = Pacing(speed_, form_.sim.display.TimerMove.Interval).ticksPerEvent;
    const std::uint64_t messagesBefore = messagesShown_;
    bool delivered = false;
    // The ticks still owed after a message belong to the time before the box
    // was closed; running them then would make the picture jump. A tick that
    // disabled the move timer ends the event as it ends the timer.
    for (int k = 0; k < ticks && messagesShown_ == messagesBefore; ++k) {
        if (!DeliverTimerMove(form_)) {
            break;
        }
        delivered = true;
    }
    return delivered;
}

bool MainWindow::deliverTimerCheck()
{
    bool delivered = false;
    runHandler([this, &delivered] { delivered = DeliverTimerCheck(form_); });
    return delivered;
}

void MainWindow::showMessageBox(std::string_view text)
{
    QMessageBox box(this);
    box.setText(Translated("Messages", text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void MainWindow::sync()
{
    const DisplayModel& d = form_.sim.display;
    for (const ComboControl& combo : kComboControls) {
        syncCombo(combo.id);
    }
    for (const ButtonControl& control : kButtonControls) {
        QPushButton* b = button(control.id);
        // Translated only when the model's caption changes, which is seldom.
        const std::string& caption = d.*control.caption;
        std::string& shown = buttonCaptions_[static_cast<std::size_t>(control.id)];
        if (caption != shown) {
            shown = caption;
            b->setText(Translated("Controls", caption));
        }
    }
    syncTimers();
    picture_.show(form_.sim);
}

void MainWindow::syncCombo(ComboId id)
{
    ChoiceComboBox* c = combo(id);
    const ComboBox& model = Combo(form_.sim.display, id);

    // Every comparison reads the widget as it is, so whatever the user did
    // to it meanwhile is put right; nothing is built while it already matches.
    bool listShown = c->count() == static_cast<int>(model.list.size());
    for (int i = 0; listShown && i < c->count(); ++i) {
        listShown = SameText(c->itemText(i), model.list[static_cast<std::size_t>(i)]);
    }
    QLineEdit* edit = c->lineEdit();
    bool textShown = false;
    int index = -1;
    if (edit != nullptr) {
        textShown = SameText(edit->text(), model.text);
    } else if (listShown) {
        for (int i = 0; i < c->count() && index < 0; ++i) {
            index = SameText(c->itemText(i), model.text) ? i : -1;
        }
        textShown = c->currentIndex() == index;
    }
    if (listShown && textShown) {
        return;
    }

    const QSignalBlocker blockCombo(c);
    const QSignalBlocker blockEdit(edit);
    if (!listShown) {
        QStringList items;
        for (const std::string& entry : model.list) {
            items << QString::fromStdString(entry);
        }
        c->clear();
        c->addItems(items);
    }
    const QString text = QString::fromStdString(model.text);
    if (edit != nullptr) {
        // Setting an equal text would move the user's cursor: only on change.
        if (edit->text() != text) {
            edit->setText(text);
        }
        // The list, when opened, starts on the entry the box shows.
        const int match = c->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (match >= 0 && c->currentIndex() != match) {
            c->setCurrentIndex(match);
        }
    } else {
        index = c->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (c->currentIndex() != index) {
            c->setCurrentIndex(index);
        }
    }
}

void MainWindow::syncTimers()
{
    const Timer& move = form_.sim.display.TimerMove;
    syncTimer(timerMove_, move, Pacing(speed_, move.Interval).timerInterval);
    // The check stays on wall time at every speed: it applies a typed queue
    // length or server count, which the user expects within a second of
    // typing. Slowed with the ticks, a typed value would wait four seconds at
    // a quarter of real time.
    syncTimer(timerCheck_, form_.sim.display.TimerCheck, form_.sim.display.TimerCheck.Interval);
}

void MainWindow::syncTimer(QTimer* timer, const Timer& model, std::int32_t interval)
{
    if (timer->interval() != interval) {
        timer->setInterval(interval);
    }
    const bool run = timersAutomatic_ && model.Enabled;
    if (run && !timer->isActive()) {
        timer->start();
    } else if (!run && timer->isActive()) {
        timer->stop();
    }
}

}  // namespace waitline
