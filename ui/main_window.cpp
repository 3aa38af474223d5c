#include "ui/main_window.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <map>
#include <string>

#include "ui/canvas.h"
#include "ui/fonts.h"

namespace waitline {

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

struct ComboPlace {
    ComboId id;
    int left, top, width;
};
// The combo boxes are all 37 px tall when closed.
constexpr std::array<ComboPlace, 6> kComboPlaces{{{ComboId::SourceCombo, 576, 24, 161},
                                                  {ComboId::ArrivalCombo, 576, 64, 89},
                                                  {ComboId::QueueCombo, 576, 104, 73},
                                                  {ComboId::ServiceCombo, 616, 484, 161},
                                                  {ComboId::ServerCombo, 384, 524, 57},
                                                  {ComboId::ServeRateCombo, 600, 524, 73}}};
constexpr int kComboHeight = 37;

struct LabelPlace {
    const char* name;
    int left, top, width, height;
    Qt::Alignment align;
    LayoutFace face;
    int pixelSize;
    bool bold;
    const char* caption;  // fixed labels only
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr LayoutFace kSans = LayoutFace::SansSerif;

constexpr std::array<LabelPlace, 13> kFixedLabels{{
    {"Label1", 344, 28, 225, 33, kRight, kSans, 22, false, "Arrival Distribution"},
    {"Label2", 408, 68, 161, 33, kRight, kSans, 22, false, "Arrival Rate"},
    {"Label6", 672, 68, 113, 25, kLeft, kSans, 22, false, "pkts / sec"},
    {"Label21", 360, 108, 209, 33, kRight, kSans, 22, false, "Queue Length"},
    {"l_PercentDrop", 408, 176, 249, 33, kLeft, kSans, 22, false, "Percentage Dropped"},
    {"Label7", 408, 208, 225, 33, kRight, kSans, 22, false, "Mean Waiting Time"},
    {"Label18", 368, 240, 265, 33, kRight, kSans, 22, false, "Std.Dev. Waiting Time"},
    {"Label23", 368, 272, 265, 25, kRight, kSans, 22, false, "Mean Packets In Queue"},
    {"Label24", 48, 464, 57, 32, kLeft, LayoutFace::Serif, 31, false, "Lost"},
    {"Label5", 320, 488, 281, 25, kRight, kSans, 22, false, "Service Time Distribution"},
    {"Label20", 136, 528, 241, 33, kRight, kSans, 22, false, "No of Servers"},
    {"Label4", 432, 528, 161, 25, kRight, kSans, 22, false, "Service Rate"},
    {"Label3", 680, 528, 113, 33, kLeft, kSans, 22, false, "pkts / sec"},
}};

// In the order of valueLabels_ and of kValueLabelFields.
constexpr std::array<LabelPlace, 9> kValueLabels{{
    {"lblTime", 8, 8, 81, 17, kLeft, kSans, 16, true, ""},
    {"lblSeconds", 0, 0, 113, 33, kLeft, kSans, 16, false, ""},
    {"lblPacketsSourced", 8, 48, 129, 41, kRight, kSans, 26, true, ""},
    {"lblPacketsServiced", 280, 456, 137, 41, kLeft, kSans, 26, true, ""},
    {"lblPacketsLost", 8, 512, 129, 41, kCentre, kSans, 26, true, ""},
    {"lblPercentDropped", 648, 176, 129, 25, kLeft, kSans, 22, false, ""},
    {"lblMeanWaitingTime", 648, 208, 129, 25, kLeft, kSans, 22, false, ""},
    {"lblStdDevWaitingTime", 648, 240, 129, 25, kLeft, kSans, 22, false, ""},
    {"lblMeanPktsInQueue", 648, 272, 129, 25, kLeft, kSans, 22, false, ""},
}};

constexpr std::array<Label DisplayModel::*, 9> kValueLabelFields{&DisplayModel::lblTime,
                                                                 &DisplayModel::lblSeconds,
                                                                 &DisplayModel::lblPacketsSourced,
                                                                 &DisplayModel::lblPacketsServiced,
                                                                 &DisplayModel::lblPacketsLost,
                                                                 &DisplayModel::lblPercentDropped,
                                                                 &DisplayModel::lblMeanWaitingTime,
                                                                 &DisplayModel::lblStdDevWaitingTime,
                                                                 &DisplayModel::lblMeanPktsInQueue};

struct LinePlace {
    const char* name;
    int x1, y1, x2, y2;
};
// The source funnel (Line1..3) and the lost bin (Line4..6).
constexpr std::array<LinePlace, 6> kFunnelAndBin{{{"Line1", 120, 24, 160, 64},
                                                  {"Line2", 272, 64, 160, 64},
                                                  {"Line3", 272, 64, 320, 24},
                                                  {"Line4", 112, 504, 128, 464},
                                                  {"Line5", 112, 504, 32, 504},
                                                  {"Line6", 16, 464, 32, 504}}};

constexpr std::array<const char*, kServerLineCount> kServerLineNames{"LineOut", "linServerLeft", "linServer",
                                                                     "linServerTop", "linServerBottom"};
constexpr std::array<int, kServerLineCount> kServerLineWidths{1, 2, 4, 2, 2};

// Server j's lines lie on the centre line of queue box j; server 0 sits one
// pixel further left than the others, except for its exit line.
QLineF ServerLineAt(int j, ServerLine which)
{
    const double y = 448 - 32 * j;
    const double dx = j == 0 ? 0 : 1;
    switch (which) {
    case LineOut: return {360, y, 768, y};
    case linServerLeft: return {271 + dx, y - 12, 271 + dx, y + 12};
    case linServer: return {272 + dx, y, 352 + dx, y};
    case linServerTop: return {354 + dx, y, 342 + dx, y - 12};
    case linServerBottom: return {354 + dx, y, 342 + dx, y + 12};
    }
    return {};
}

QString Indexed(const char* name, int index) { return QString::fromLatin1(name) + QString::number(index); }

}  // namespace

// ---------------------------------------------------------------------------

ChoiceComboBox::ChoiceComboBox(bool editable, QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // QComboBox treats Enter, and the end of editing, on a text equal to a
        // list entry as choosing that entry. Here only the list chooses: the
        // line edit's own signals mark the window in which such an activation
        // would come. Our first slots are connected before the combo box's.
        auto* edit = new QLineEdit(this);
        const auto mark = [this] {
            lineEditFinishing_ = true;
            QMetaObject::invokeMethod(
                this, [this] { lineEditFinishing_ = false; }, Qt::QueuedConnection);
        };
        connect(edit, &QLineEdit::returnPressed, this, mark);
        connect(edit, &QLineEdit::editingFinished, this, mark);
        setLineEdit(edit);
        connect(edit, &QLineEdit::editingFinished, this, [this] { lineEditFinishing_ = false; });
        setCompleter(nullptr);
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!lineEditFinishing_) {
            Q_EMIT chosen(index);
        }
    });
}

// ---------------------------------------------------------------------------

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Waitline"));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, LightGrey());
    setPalette(pal);
    setAutoFillBackground(true);

    messageHandler_ = [this](std::string_view text) { showMessageBox(text); };
    form_.sim.showMessage = [this](std::string_view text) {
        if (messageHandler_) {
            messageHandler_(text);
        }
    };

    buildPicture();
    buildControls();

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

    sync();
}

MainWindow::~MainWindow()
{
    // Nothing may call back into the window while it is taken apart.
    form_.sim.showMessage = nullptr;
}

void MainWindow::buildControls()
{
    const QFont buttonFont = LayoutFont(LayoutFace::SansSerif, 22, true);
    const auto makeButton = [&](ButtonId id, const char* name, QRect geometry) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setFont(buttonFont);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { runHandler([this, id] { Click(form_, id); }); });
        buttons_[static_cast<std::size_t>(id)] = b;
    };
    makeButton(ButtonId::StartButton, "StartButton", QRect(160, 16, 113, 41));
    makeButton(ButtonId::PauseButton, "PauseButton", QRect(16, 96, 129, 41));

    const QFont comboFont = LayoutFont(LayoutFace::SansSerif, 22, false);
    for (const ComboPlace& place : kComboPlaces) {
        const ComboId id = place.id;
        const bool editable = Combo(form_.sim.display, id).editable;
        auto* c = new ChoiceComboBox(editable, this);
        c->setObjectName(ToQString(ComboName(id)));
        c->setFont(comboFont);
        QPalette pal = c->palette();
        pal.setColor(QPalette::Base, LightGrey());
        pal.setColor(QPalette::Button, LightGrey());
        c->setPalette(pal);
        c->setGeometry(place.left, place.top, place.width, kComboHeight);
        c->setFocusPolicy(Qt::StrongFocus);
        c->setMaxVisibleItems(12);
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

void MainWindow::buildPicture()
{
    canvas_ = new Canvas(this);
    canvas_->setObjectName(QStringLiteral("canvas"));
    canvas_->setGeometry(0, 0, kWidth, kHeight);

    const auto makeLabel = [this](const LabelPlace& p) {
        auto* item = new DrawnItem(DrawnItem::Kind::Label, QString::fromLatin1(p.name), canvas_);
        item->setRect(QRectF(p.left, p.top, p.width, p.height));
        item->setAlignment(p.align);
        item->setFont(LayoutFont(p.face, p.pixelSize, p.bold));
        item->setCaption(QString::fromLatin1(p.caption));
        return item;
    };
    const auto makeLine = [this](const QString& name, QLineF line, const QColor& color, int width) {
        auto* item = new DrawnItem(DrawnItem::Kind::Line, name, canvas_);
        item->setLine(line);
        item->setPen(color, width);
        return item;
    };

    std::map<QString, DrawnItem*> byName;
    for (const LabelPlace& p : kFixedLabels) {
        byName[QString::fromLatin1(p.name)] = makeLabel(p);
    }
    for (std::size_t i = 0; i < kValueLabels.size(); ++i) {
        valueLabels_[i] = makeLabel(kValueLabels[i]);
        byName[valueLabels_[i]->objectName()] = valueLabels_[i];
    }
    for (const LinePlace& p : kFunnelAndBin) {
        byName[QString::fromLatin1(p.name)] =
            makeLine(QString::fromLatin1(p.name), QLineF(p.x1, p.y1, p.x2, p.y2), kPurple, 4);
    }
    line12_ = makeLine(QStringLiteral("Line12"), QLineF(216, 72, 216, 112), Qt::black, 1);

    shpFIFO_ = new DrawnItem(DrawnItem::Kind::Outline, QStringLiteral("shpFIFO"), canvas_);
    shpFIFO_->setRect(QRectF(160, 392, 113, 81));
    shpFIFO_->setPen(kBlue, 2);

    for (int j = 0; j < static_cast<int>(boxQueue_.size()); ++j) {
        auto* box = new DrawnItem(DrawnItem::Kind::Outline, Indexed("boxQueue", j), canvas_);
        box->setProperty("index", j);
        box->setRect(QRectF(168, 432 - 32 * j, 97, 33));
        box->setPen(Qt::black, 2);
        boxQueue_[static_cast<std::size_t>(j)] = box;
    }
    for (int j = 0; j < MaxServers; ++j) {
        for (int k = 0; k < kServerLineCount; ++k) {
            const auto which = static_cast<ServerLine>(k);
            DrawnItem* line =
                makeLine(Indexed(kServerLineNames[static_cast<std::size_t>(k)], j), ServerLineAt(j, which), Qt::black,
                         kServerLineWidths[static_cast<std::size_t>(k)]);
            line->setProperty("index", j);
            serverLines_[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] = line;
        }
    }
    for (int i = 0; i <= MaxPacket; ++i) {
        auto* packet = new DrawnItem(DrawnItem::Kind::Packet, Indexed("sPacket", i), canvas_);
        packet->setProperty("index", i);
        packet->setRect(QRectF(0, 0, 81, 25));
        packet->setPen(Qt::black, 3);
        packet->setVisible(false);
        packets_[static_cast<std::size_t>(i)] = packet;
    }

    // The stacking order, front to back: each item covers those after it.
    std::vector<DrawnItem*> front;
    const auto add = [&](const char* name) { front.push_back(byName.at(QString::fromLatin1(name))); };
    add("lblTime");
    front.push_back(shpFIFO_);
    add("lblSeconds");
    for (int i = MaxPacket; i >= 0; --i) {
        front.push_back(packets_[static_cast<std::size_t>(i)]);
    }
    for (int j = MaxServers - 1; j >= 0; --j) {
        const auto& s = serverLines_[static_cast<std::size_t>(j)];
        for (ServerLine k : {linServerBottom, linServerTop, linServer, linServerLeft}) {
            front.push_back(s[k]);
        }
    }
    for (int j = 10; j >= 0; --j) {
        front.push_back(boxQueue_[static_cast<std::size_t>(j)]);
    }
    add("lblPercentDropped");
    for (int j = 4; j >= 1; --j) {
        front.push_back(serverLines_[static_cast<std::size_t>(j)][LineOut]);
    }
    front.push_back(line12_);
    front.push_back(serverLines_[0][LineOut]);
    for (const char* name : {"Label24",
                             "Label23",
                             "lblMeanPktsInQueue",
                             "Label21",
                             "Label20",
                             "lblStdDevWaitingTime",
                             "Label18",
                             "lblMeanWaitingTime",
                             "l_PercentDrop",
                             "lblPacketsServiced",
                             "lblPacketsSourced",
                             "lblPacketsLost",
                             "Line6",
                             "Line5",
                             "Line4",
                             "Label7",
                             "Label5",
                             "Label4",
                             "Label3",
                             "Label6",
                             "Label2",
                             "Label1",
                             "Line3",
                             "Line2",
                             "Line1"}) {
        add(name);
    }
    canvas_->setItems(std::vector<DrawnItem*>(front.rbegin(), front.rend()));
}

void MainWindow::load()
{
    runHandler([this] { FormLoad(form_); });
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
        syncPicture();
    }
    return true;
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

void MainWindow::syncTimer(QTimer* timer, const Timer& model)
{
    if (timer->interval() != model.Interval) {
        timer->setInterval(model.Interval);
    }
    const bool run = timersAutomatic_ && model.Enabled;
    if (run && !timer->isActive()) {
        timer->start();
    } else if (!run && timer->isActive()) {
        timer->stop();
    }
}

void MainWindow::sync()
{
    const DisplayModel& d = form_.sim.display;
    for (const ComboControl& combo : kComboControls) {
        syncCombo(combo.id);
    }
    const auto setCaption = [](QPushButton* b, const std::string& caption) {
        if (!SameText(b->text(), caption)) {
            b->setText(QString::fromStdString(caption));
        }
    };
    setCaption(button(ButtonId::StartButton), d.StartButton);
    setCaption(button(ButtonId::PauseButton), d.PauseButton);
    syncTimer(timerMove_, d.TimerMove);
    syncTimer(timerCheck_, d.TimerCheck);
    syncPicture();
}

void MainWindow::syncPicture()
{
    const DisplayModel& d = form_.sim.display;

    // Only what changed is repainted: the old and new places of each packet
    // that moved, appeared, vanished or changed colour, and each label whose
    // picture changed. The canvas paints every item in stacking order within
    // those areas, so the result equals a full repaint.
    dirtyCount_ = 0;
    bool repaintAll = syncQueueDrawing();

    for (std::size_t i = 0; i < valueLabels_.size(); ++i) {
        const Label& label = d.*kValueLabelFields[i];
        DrawnItem* item = valueLabels_[i];
        const bool wasShown = item->isVisible();
        const bool captionChanged = item->assignCaption(label.caption);
        item->setVisible(label.visible);
        if (wasShown != label.visible || (captionChanged && label.visible)) {
            repaintAll = !markDirty(item->paintedBounds()) || repaintAll;
        }
    }

    for (std::size_t i = 0; i < packets_.size(); ++i) {
        const Packet& p = form_.sim.packets[i];
        DrawnItem* item = packets_[i];
        const bool wasShown = item->isVisible();
        const QRect before = item->pixelRect();
        const QColor fillBefore = item->fillColor();
        const QColor fill(p.FillColor.r, p.FillColor.g, p.FillColor.b);
        item->setRect(QRectF(p.Left, p.Top, 81, 25));
        item->setVisible(p.Visible);
        item->setFillColor(fill);
        if (!wasShown && !p.Visible) {
            continue;
        }
        const QRect after = item->pixelRect();
        if (wasShown && p.Visible && before == after && fillBefore == fill) {
            continue;
        }
        const QRect oldArea = wasShown ? before : QRect();
        const QRect newArea = p.Visible ? after : QRect();
        // A step of a packet overlaps its last place: one rectangle covers both.
        if (oldArea.intersects(newArea)) {
            repaintAll = !markDirty(oldArea | newArea) || repaintAll;
        } else {
            repaintAll = !markDirty(oldArea) || repaintAll;
            repaintAll = !markDirty(newArea) || repaintAll;
        }
    }

    if (repaintAll) {
        canvas_->update();
    } else {
        for (std::size_t k = 0; k < dirtyCount_; ++k) {
            canvas_->update(dirty_[k]);
        }
    }
}

bool MainWindow::syncQueueDrawing()
{
    const QueueDrawing& q = form_.sim.display.drawing;
    bool changed = false;
    const auto show = [&changed](DrawnItem* item, bool visible) {
        if (item->isVisible() != visible) {
            item->setVisible(visible);
            changed = true;
        }
    };
    for (std::size_t j = 0; j < boxQueue_.size(); ++j) {
        show(boxQueue_[j], q.boxQueue[j]);
    }
    for (std::size_t j = 0; j < serverLines_.size(); ++j) {
        for (std::size_t k = 0; k < serverLines_[j].size(); ++k) {
            show(serverLines_[j][k], q.serverLines[j][k]);
        }
    }
    QRectF fifo = shpFIFO_->rect();
    fifo.setTop(q.shpFIFOTop);
    fifo.setHeight(q.shpFIFOHeight);
    if (fifo.top() != shpFIFO_->rect().top() || fifo.height() != shpFIFO_->rect().height()) {
        shpFIFO_->setRect(fifo);
        changed = true;
    }
    QLineF arrival = line12_->line();
    if (arrival.y2() != static_cast<qreal>(q.Line12Y2)) {
        arrival.setP2(QPointF(arrival.x2(), q.Line12Y2));
        line12_->setLine(arrival);
        changed = true;
    }
    // The queue picture changes seldom and over a large area: repaint it all.
    return changed;
}

bool MainWindow::markDirty(const QRect& area)
{
    if (area.isEmpty()) {
        return true;
    }
    if (dirtyCount_ == dirty_.size()) {
        return false;  // more changes than areas kept: the caller repaints everything
    }
    dirty_[dirtyCount_++] = area;
    return true;
}

void MainWindow::setTimersAutomatic(bool automatic)
{
    timersAutomatic_ = automatic;
    syncTimer(timerMove_, form_.sim.display.TimerMove);
    syncTimer(timerCheck_, form_.sim.display.TimerCheck);
}

bool MainWindow::deliverTimerMove()
{
    bool delivered = false;
    // A tick reads the boxes but changes no control: only the picture follows.
    runHandler([this, &delivered] { delivered = DeliverTimerMove(form_); }, false);
    return delivered;
}

bool MainWindow::deliverTimerCheck()
{
    bool delivered = false;
    runHandler([this, &delivered] { delivered = DeliverTimerCheck(form_); });
    return delivered;
}

void MainWindow::clickButton(ButtonId id) { button(id)->click(); }

bool MainWindow::typeText(ComboId id, const QString& text)
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

bool MainWindow::chooseEntry(ComboId id, const QString& entry)
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

void MainWindow::setMessageHandler(std::function<void(std::string_view)> handler)
{
    messageHandler_ = std::move(handler);
}

void MainWindow::showMessageBox(std::string_view text)
{
    QMessageBox box(this);
    box.setText(ToQString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QImage MainWindow::grabClientArea()
{
    return grab(QRect(0, 0, kWidth, kHeight)).toImage().convertToFormat(QImage::Format_RGB32);
}

QPushButton* MainWindow::button(ButtonId id) const { return buttons_[static_cast<std::size_t>(id)]; }

ChoiceComboBox* MainWindow::combo(ComboId id) const { return combos_[static_cast<std::size_t>(id)]; }

}  // namespace waitline
