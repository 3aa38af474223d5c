#include "ui/analysis_window/analysis_window.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QMargins>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShowEvent>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "picture/explanations.h"
#include "picture/layout.h"
#include "statistics/measures.h"
#include "ui/analysis_window/analysis_export.h"
#include "ui/analysis_window/analysis_plots.h"
#include "ui/analysis_window/analysis_table.h"
#include "ui/analysis_window/stored_place.h"
#include "ui/analysis_window/what_if_panel.h"
#include "ui/common/text.h"
#include "ui/common/whole_file.h"

namespace waitline {
namespace {

constexpr int kRefreshMs = 1000;
constexpr QSize kFirstSize(980, 880);

// The main window keeps no settings of its own.
const QString kGeometryKey = QStringLiteral("analysisWindow/geometry");

QString TickStepNote()
{
    return QCoreApplication::translate("AnalysisWindow",
                                       "At these rates the demo's %1 ms steps matter: arrivals and services take "
                                       "whole steps, a little longer than drawn, so its long-run numbers differ from "
                                       "the textbook's.")
        .arg(kTickMs);
}

QString StateText(const Simulation& sim)
{
    if (sim.Paused) {
        return QCoreApplication::translate("AnalysisWindow", "paused");
    }
    return sim.Running ? QCoreApplication::translate("AnalysisWindow", "running")
                       : QCoreApplication::translate("AnalysisWindow", "stopped");
}

// The text painted on the main window by the label with this objectName.
QString PaintedCaption(std::string_view object)
{
    for (const layout::LabelRow& row : layout::kFixedLabels) {
        if (object == row.name) {
            return Translated("Layout", row.caption);
        }
    }
    return {};
}

// The caption painted beside a control: the one explained as the control is.
QString CaptionBeside(std::string_view control)
{
    const Explanation* explained = FindExplanation(control);
    for (const Explanation& row : kExplanations) {
        if (explained != nullptr && row.kind == Explained::Caption && row.help == explained->help) {
            return PaintedCaption(row.object);
        }
    }
    return {};
}

// Which of the main window's captions is which measure of the table.
QString CaptionsText()
{
    QStringList parts;
    for (const Explanation& row : kExplanations) {
        if (row.kind == Explained::Caption && !row.measure.empty()) {
            parts << QCoreApplication::translate("AnalysisWindow", "\u201c%1\u201d is %2")
                         .arg(PaintedCaption(row.object), ToQString(TextbookSymbol(row)));
        }
    }
    parts << QCoreApplication::translate("AnalysisWindow", "\u201c%1\u201d is %2")
                 .arg(CaptionBeside("QueueCombo"), ToQString(kPlacesSymbol));
    const QString last = QCoreApplication::translate("AnalysisWindow", "\u201c%1\u201d is %2")
                             .arg(CaptionBeside("ServerCombo"), ToQString(kServersSymbol));
    return QCoreApplication::translate("AnalysisWindow", "In the main window, %1 and %2.")
        .arg(parts.join(QStringLiteral(", ")), last);
}

QString QueueText(const SeriesSettings& settings)
{
    const QString kendall = QString::fromStdString(
        KendallNotation(settings.arrival, settings.service, settings.servers, settings.queueLength));
    const double offered = settings.arrivalRate / (settings.servers * settings.serviceRate);
    return QCoreApplication::translate("AnalysisWindow", "%1 queue; offered load \u03bb/(c\u03bc) = %2")
        .arg(kendall, QString::number(offered, 'f', 3));
}

// Little's law holds over a series long enough that the packets in the
// system at its ends no longer count: a hundred packets served.
constexpr std::int64_t kServedForLittle = 100;

// Little's law, L = X W and Lq = X Wq, with the demo's own figures, and why
// they part where they do.
QString LittleText(const SeriesMeasures& measures)
{
    if (measures.served < kServedForLittle) {
        return QCoreApplication::translate("AnalysisWindow", "Little's law: shown once %1 packets have been served.")
            .arg(kServedForLittle);
    }
    const MeasureValues& v = measures.values;
    auto number = [](double x) { return QString::number(x, 'f', 3); };
    auto symbol = [](std::string_view key) { return ToQString(MeasureKeyed(key).symbol); };
    const QString l = symbol("mean_in_system");
    const QString x = symbol("throughput");
    QString text =
        QCoreApplication::translate("AnalysisWindow", "Little's law: %1 = %2 against %3\u00b7%4 = %5; %6 = %7 against "
                                                      "%3\u00b7%8 = %9.")
            .arg(l, number(v.meanInSystem), x, symbol("mean_time_in_system"), number(v.throughput * v.meanTimeInSystem),
                 symbol("mean_queue"), number(v.meanWaiting), symbol("mean_waiting_time"),
                 number(v.throughput * v.meanWaitBeforeService));
    // Shown to three decimals, a gap of more than half a percent shows; it is
    // the step's when L is the larger.
    if (v.meanInSystem - v.throughput * v.meanTimeInSystem > 0.005 * v.meanInSystem) {
        text += QCoreApplication::translate("AnalysisWindow",
                                            " %1 is larger because it counts the %2 ms step in which a server stays "
                                            "busy after its service ends, and %3 does not.")
                    .arg(l, QString::number(kTickMs), symbol("mean_time_in_system"));
    }
    return text;
}

// Hidden until a series needs it, so that the window opens at its
// remembered size.
QLabel* NewNote(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->hide();
    return label;
}

}  // namespace

AnalysisWindow::AnalysisWindow(Form& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form)
{
    setWindowTitle(WindowTitle(QCoreApplication::translate("AnalysisWindow", "Analysis")));
    buildWidgets();
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &AnalysisWindow::refresh);
    restorePlace();
}

AnalysisWindow::~AnalysisWindow()
{
    // Closing the program takes the window down without hiding it first.
    if (form_.record == &record_) {
        rememberPlace();
        form_.record = nullptr;
    }
}

void AnalysisWindow::buildWidgets()
{
    settingsLine_ = new QLabel(this);
    settingsLine_->setObjectName(QStringLiteral("settingsLine"));
    QFont bold = settingsLine_->font();
    bold.setBold(true);
    settingsLine_->setFont(bold);
    stateLine_ = new QLabel(this);
    stateLine_->setObjectName(QStringLiteral("stateLine"));
    queueLine_ = new QLabel(this);
    queueLine_->setObjectName(QStringLiteral("queueLine"));
    captionsLine_ = new QLabel(CaptionsText(), this);
    captionsLine_->setObjectName(QStringLiteral("captionsLine"));
    captionsLine_->setWordWrap(true);
    littleLine_ = new QLabel(this);
    littleLine_->setObjectName(QStringLiteral("littleLine"));
    littleLine_->setWordWrap(true);
    warningsLine_ = NewNote(this);
    warningsLine_->setObjectName(QStringLiteral("warningsLine"));
    table_ = new AnalysisTable(this);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    reasonLine_ = NewNote(this);
    reasonLine_->setObjectName(QStringLiteral("theoryReason"));
    tickStepNote_ = NewNote(this);
    tickStepNote_->setObjectName(QStringLiteral("tickStepNote"));
    tickStepNote_->setText(TickStepNote());
    plots_ = new AnalysisPlots(this);
    exportButton_ = new QPushButton(QCoreApplication::translate("AnalysisWindow", "Export\u2026"), this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton_, &QPushButton::clicked, this, &AnalysisWindow::chooseExportFile);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exportButton_);
    // Everything scrolls within the window, so that every part of it can be
    // reached on a small screen or at a large zoom, where it cannot all fit.
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("analysisContent"));
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // The run in the first tab; in the second, what other settings would do.
    // Both scroll, for the same reason.
    scroll->setObjectName(QStringLiteral("runScroll"));
    whatIf_ = new WhatIfPanel(form_);
    auto* whatIfScroll = new QScrollArea(this);
    whatIfScroll->setObjectName(QStringLiteral("whatIfScroll"));
    whatIfScroll->setFrameShape(QFrame::NoFrame);
    whatIfScroll->setWidgetResizable(true);
    whatIfScroll->setWidget(whatIf_);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("analysisTabs"));
    tabs_->setDocumentMode(true);
    tabs_->addTab(scroll, QCoreApplication::translate("AnalysisWindow", "This run"));
    tabs_->addTab(whatIfScroll, QCoreApplication::translate("AnalysisWindow", "What if"));
    connect(whatIf_, &WhatIfPanel::settingsChosen, this, &AnalysisWindow::settingsChosen);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(tabs_);
    auto* column = new QVBoxLayout(content);
    column->addWidget(settingsLine_);
    column->addWidget(queueLine_);
    column->addWidget(stateLine_);
    column->addWidget(table_);
    column->addWidget(captionsLine_);
    column->addWidget(littleLine_);
    column->addWidget(reasonLine_);
    column->addWidget(warningsLine_);
    column->addWidget(tickStepNote_);
    column->addWidget(plots_, 1);
    column->addLayout(buttons);
    scroll->setWidget(content);
}

void AnalysisWindow::showEvent(QShowEvent* event)
{
    // A window un-minimised by the desktop goes on with its series.
    if (!event->spontaneous()) {
        attach();
    }
    QWidget::showEvent(event);
}

void AnalysisWindow::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous()) {
        rememberPlace();
        detach();
    }
    QWidget::hideEvent(event);
}

void AnalysisWindow::attach()
{
    form_.record = &record_;
    record_.restart(form_.sim);
    refresh();
    refreshTimer_->start();
}

void AnalysisWindow::detach()
{
    refreshTimer_->stop();
    form_.record = nullptr;
}

void AnalysisWindow::refresh()
{
    whatIf_->followMain();
    if (record_.seriesNumber() != seriesShown_) {
        seriesShown_ = record_.seriesNumber();
        elapsedShown_ = -1.0;
        showSeriesSettings();
    }
    const SeriesMeasures measures = record_.measures();
    showState(measures.elapsed);
    // Paused, nothing has moved since the last refresh: the charts stay as
    // they are instead of being drawn again.
    if (measures.elapsed == elapsedShown_) {
        return;
    }
    elapsedShown_ = measures.elapsed;
    table_->showMeasures(measures, theory_.theory);
    littleLine_->setText(LittleText(measures));
    plots_->showRecord(record_, theory_.theory, queue_);
}

void AnalysisWindow::showSeriesSettings()
{
    const SeriesSettings& settings = record_.settings();
    settingsLine_->setText(SeriesSettingsText(settings));
    queue_ = QueueSettings{settings.arrivalRate, settings.serviceRate, settings.servers, settings.queueLength};
    theory_ = ExactTheory(settings.arrival, settings.service, queue_);
    reasonLine_->setText(Translated("Theory", theory_.reason));
    reasonLine_->setHidden(theory_.theory.has_value());
    queueLine_->setText(QueueText(settings));
    QStringList warnings;
    for (const std::string& warning :
         IntervalWarnings(settings.arrival, settings.arrivalRate, settings.service, settings.serviceRate)) {
        warnings << QString::fromStdString(warning);
    }
    warningsLine_->setText(warnings.join(QLatin1Char(' ')));
    warningsLine_->setHidden(warnings.isEmpty());
    tickStepNote_->setHidden(!TickStepMatters(settings));
}

void AnalysisWindow::showState(double elapsed)
{
    const QString text = QStringLiteral("%1 \u2013 %2 s of simulated time in this series")
                             .arg(StateText(form_.sim), QString::number(std::floor(elapsed), 'f', 0));
    if (stateLine_->text() != text) {
        stateLine_->setText(text);
    }
}

QString AnalysisWindow::exportTo(const QString& path)
{
    // The picture then shows the same data as a CSV written now would, laid
    // out as the window will show it.
    refresh();
    layout()->activate();
    const bool png = QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    QString error = png ? SavePng(WithSettingsLine(plots_->grab().toImage(), record_.settings()), path)
                        : ExportCsv(record_, form_.sim, path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, QCoreApplication::translate("AnalysisWindow", "Export"), error);
    }
    return error;
}

void AnalysisWindow::chooseExportFile()
{
    const QString path = ChooseExportPath(this, QCoreApplication::translate("AnalysisWindow", "Export"));
    if (!path.isEmpty()) {
        exportTo(path);
    }
}

void AnalysisWindow::restorePlace()
{
    // The places are the windows' frames; this one's will be as wide as the
    // main window's, which the same desktop decorates.
    const QWidget* main = parentWidget();
    const QMargins frame = FrameOf(main);
    const std::unique_ptr<QSettings> settings = OpenUserSettings();
    if (settings != nullptr && RestorePlace(*this, settings->value(kGeometryKey).toByteArray(), frame)) {
        return;
    }
    // Beside the main window, on its screen, where there is room.
    const QScreen* screen = main != nullptr ? main->screen() : QGuiApplication::primaryScreen();
    const QRect mainFrame = main != nullptr ? main->frameGeometry() : QRect();
    setGeometry(PlaceBeside(mainFrame, kFirstSize.grownBy(frame), screen->availableGeometry()).marginsRemoved(frame));
}

void AnalysisWindow::rememberPlace() const
{
    if (const std::unique_ptr<QSettings> settings = OpenUserSettings()) {
        settings->setValue(kGeometryKey, saveGeometry());
    }
}

}  // namespace waitline
