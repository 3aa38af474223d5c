#include "ui/analysis_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <memory>
#include <optional>

#include "ui/analysis_export.h"
#include "ui/analysis_plots.h"
#include "ui/analysis_table.h"
#include "ui/stored_place.h"
#include "ui/text.h"
#include "ui/whole_file.h"

namespace waitline {
namespace {

constexpr int kRefreshMs = 1000;
constexpr QSize kFirstSize(980, 880);

// The main window keeps no settings of its own.
const QString kGeometryKey = QStringLiteral("analysisWindow/geometry");

const QString kCsvFilter = QStringLiteral("CSV file (*.csv)");
const QString kPngFilter = QStringLiteral("PNG image (*.png)");

const QString kTickStepNote = QStringLiteral(
    "At these rates the demo's 10 ms steps matter: arrivals and services take whole steps, a little longer than "
    "drawn, so its long-run numbers differ from the textbook's.");

QString DistributionText(std::string_view name)
{
    // An unknown name in a box draws no intervals at all.
    return name.empty() ? QStringLiteral("No") : ToQString(name);
}

QString RateText(double rate) { return QString::number(rate, 'g', 6); }

QString CountText(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString SettingsText(const SeriesSettings& settings)
{
    return QStringLiteral("%1 arrivals at %2 /s, %3 service at %4 /s, %5, %6")
        .arg(DistributionText(settings.arrival), RateText(settings.arrivalRate), DistributionText(settings.service),
             RateText(settings.serviceRate), CountText(settings.servers, "server", "servers"),
             CountText(settings.queueLength, "place", "places"));
}

QString StateText(const Simulation& sim)
{
    if (sim.display.PauseButton == "Continue") {
        return QStringLiteral("paused");
    }
    return sim.Running ? QStringLiteral("running") : QStringLiteral("stopped");
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
    setWindowTitle(QStringLiteral("Waitline \u2013 Analysis"));
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
    table_ = new AnalysisTable(this);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    reasonLine_ = NewNote(this);
    reasonLine_->setObjectName(QStringLiteral("theoryReason"));
    tickStepNote_ = NewNote(this);
    tickStepNote_->setObjectName(QStringLiteral("tickStepNote"));
    tickStepNote_->setText(kTickStepNote);
    plots_ = new AnalysisPlots(this);
    exportButton_ = new QPushButton(QStringLiteral("Export\u2026"), this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton_, &QPushButton::clicked, this, &AnalysisWindow::chooseExportFile);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exportButton_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(settingsLine_);
    column->addWidget(stateLine_);
    column->addWidget(table_);
    column->addWidget(reasonLine_);
    column->addWidget(tickStepNote_);
    column->addWidget(plots_, 1);
    column->addLayout(buttons);
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
    const std::optional<double> theoryTime =
        theory_.theory ? std::optional<double>(theory_.theory->meanTimeInSystem) : std::nullopt;
    plots_->showRecord(record_, theoryTime);
}

void AnalysisWindow::showSeriesSettings()
{
    const SeriesSettings& settings = record_.settings();
    settingsLine_->setText(SettingsText(settings));
    theory_ =
        ExactTheory(settings.arrival, settings.service,
                    QueueSettings{settings.arrivalRate, settings.serviceRate, settings.servers, settings.queueLength});
    reasonLine_->setText(ToQString(theory_.reason));
    reasonLine_->setHidden(theory_.theory.has_value());
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
    QString error = png ? SavePng(plots_->grab().toImage(), path) : ExportCsv(record_, form_.sim, path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Export"), error);
    }
    return error;
}

void AnalysisWindow::chooseExportFile()
{
    QFileDialog dialog(this, QStringLiteral("Export"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({kCsvFilter, kPngFilter});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    // A name typed without an ending gets the one of the chosen kind.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kPngFilter ? QStringLiteral("png") : QStringLiteral("csv"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    exportTo(dialog.selectedFiles().constFirst());
}

void AnalysisWindow::restorePlace()
{
    const std::unique_ptr<QSettings> settings = OpenUserSettings();
    if (settings == nullptr || !RestorePlace(*this, settings->value(kGeometryKey).toByteArray())) {
        resize(kFirstSize);
    }
}

void AnalysisWindow::rememberPlace() const
{
    if (const std::unique_ptr<QSettings> settings = OpenUserSettings()) {
        settings->setValue(kGeometryKey, saveGeometry());
    }
}

}  // namespace waitline
