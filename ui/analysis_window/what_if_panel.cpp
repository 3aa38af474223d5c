#include "ui/analysis_window/what_if_panel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "runs/run_csv.h"
#include "runs/usable_cores.h"
#include "statistics/measures.h"
#include "ui/analysis_window/analysis_export.h"
#include "ui/analysis_window/what_if_plot.h"
#include "ui/common/text.h"
#include "ui/common/whole_file.h"

namespace waitline {

namespace {

using batch::SweptSetting;

constexpr int kPollMs = 100;
constexpr int kMostSeconds = 1'000'000;
constexpr int kMostReplications = 100;

struct SettingRow {
    SweptSetting setting;
    const char* name;  // as the axis names it
};

constexpr std::array<SettingRow, 4> kSettings{{
    {SweptSetting::ArrivalRate, QT_TRANSLATE_NOOP("WhatIf", "arrival rate \u03bb (per second)")},
    {SweptSetting::ServiceRate, QT_TRANSLATE_NOOP("WhatIf", "service rate \u03bc (per second, each server)")},
    {SweptSetting::Servers, QT_TRANSLATE_NOOP("WhatIf", "servers c")},
    {SweptSetting::QueueLength, QT_TRANSLATE_NOOP("WhatIf", "places K")},
}};

// A setting's name, as the axis and the list name it.
QString SettingName(std::size_t index) { return QCoreApplication::translate("WhatIf", kSettings.at(index).name); }

QString PointCount(std::size_t count)
{
    return count == 1 ? QCoreApplication::translate("WhatIf", "1 point")
                      : QCoreApplication::translate("WhatIf", "%1 points").arg(count);
}

// The demo keeps its pace beside a sweep: the workers leave it a processor
// where there are two or more, and run at the lowest priority.
batch::Workers SweepWorkers()
{
    const unsigned cores = batch::UsableCores();
    return {std::max(cores, 2U) - 1, true};
}

QDoubleSpinBox* NewRangeBox(const QString& name, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setKeyboardTracking(false);
    return box;
}

}  // namespace

WhatIfPanel::WhatIfPanel(const Form& form, QWidget* parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("whatIfPanel"));
    buildWidgets();
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMs);
    connect(pollTimer_, &QTimer::timeout, this, &WhatIfPanel::poll);
    offerRange();
}

WhatIfPanel::~WhatIfPanel()
{
    // The workers read the panel's points: they stop before it goes.
    if (watch_) {
        watch_->cancelled = true;
    }
    if (sweep_.valid()) {
        sweep_.wait();
    }
}

void WhatIfPanel::buildWidgets()
{
    settingBox_ = new QComboBox(this);
    settingBox_->setObjectName(QStringLiteral("sweptSetting"));
    for (const SettingRow& row : kSettings) {
        settingBox_->addItem(QCoreApplication::translate("WhatIf", row.name));
    }
    fromBox_ = NewRangeBox(QStringLiteral("sweepFrom"), this);
    toBox_ = NewRangeBox(QStringLiteral("sweepTo"), this);
    stepBox_ = NewRangeBox(QStringLiteral("sweepStep"), this);
    secondsBox_ = new QSpinBox(this);
    secondsBox_->setObjectName(QStringLiteral("sweepSeconds"));
    secondsBox_->setRange(10, kMostSeconds);
    secondsBox_->setValue(3600);
    replicationsBox_ = new QSpinBox(this);
    replicationsBox_->setObjectName(QStringLiteral("sweepReplications"));
    replicationsBox_->setRange(1, kMostReplications);
    replicationsBox_->setValue(4);
    measureBox_ = new QComboBox(this);
    measureBox_->setObjectName(QStringLiteral("sweepMeasure"));
    for (const Measure& m : kMeasures) {
        measureBox_->addItem(ToQString(m.symbol) + QStringLiteral("  ") + Translated("Measures", m.name));
    }
    runButton_ = new QPushButton(tr("Run"), this);
    runButton_->setObjectName(QStringLiteral("sweepRun"));
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("sweepCancel"));
    cancelButton_->setEnabled(false);
    exportButton_ = new QPushButton(tr("Export\u2026"), this);
    exportButton_->setObjectName(QStringLiteral("sweepExport"));
    exportButton_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("sweepProgress"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("sweepStatus"));
    status_->setWordWrap(true);
    plot_ = new WhatIfPlot(this);

    auto* range = new QHBoxLayout;
    range->addWidget(settingBox_, 1);
    for (auto [label, box] : {std::pair{tr("from"), fromBox_}, {tr("to"), toBox_}, {tr("step"), stepBox_}}) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(box);
        range->addWidget(caption);
        range->addWidget(box);
    }
    auto* form = new QFormLayout;
    form->addRow(tr("Sweep"), range);
    auto* length = new QHBoxLayout;
    length->addWidget(secondsBox_);
    length->addWidget(new QLabel(tr("simulated seconds per point, with"), this));
    length->addWidget(replicationsBox_);
    length->addWidget(new QLabel(tr("replications, the same seeds at every point"), this));
    length->addStretch(1);
    form->addRow(tr("Run"), length);
    form->addRow(tr("Plot"), measureBox_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(runButton_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(exportButton_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);
    column->addWidget(status_);
    column->addWidget(plot_, 1);

    connect(settingBox_, &QComboBox::currentIndexChanged, this, &WhatIfPanel::offerRange);
    connect(measureBox_, &QComboBox::currentIndexChanged, this, &WhatIfPanel::showResults);
    connect(runButton_, &QPushButton::clicked, this, &WhatIfPanel::run);
    connect(cancelButton_, &QPushButton::clicked, this, &WhatIfPanel::cancel);
    connect(exportButton_, &QPushButton::clicked, this, &WhatIfPanel::chooseExportFile);
    connect(plot_, &WhatIfPlot::pointClicked, this, [this](int index) {
        const batch::SweepPoint& point = points_.at(static_cast<std::size_t>(index));
        Q_EMIT settingsChosen(batch::SettingsAt(base_, setting_, point.at.front()));
        status_->setText(tr("The main window is set to this point, ready for Go."));
    });
}

SweptSetting WhatIfPanel::chosenSetting() const
{
    return kSettings.at(static_cast<std::size_t>(std::max(settingBox_->currentIndex(), 0))).setting;
}

batch::SweepRange WhatIfPanel::chosenRange() const { return {fromBox_->value(), toBox_->value(), stepBox_->value()}; }

void WhatIfPanel::offerRange()
{
    const SweptSetting setting = chosenSetting();
    const batch::SettingLimits limits = batch::LimitsOf(setting);
    // A rate is typed to the thousandth, a count whole.
    const int decimals = limits.whole ? 0 : 3;
    const double lowest = limits.whole ? limits.lowest : 0.001;
    offeredFor_ = SettingsInUse(form_.sim);
    const batch::SweepRange offered = batch::FirstRange(batch::WhatIfBase(offeredFor_, 1, 1), setting);
    for (QDoubleSpinBox* box : {fromBox_, toBox_}) {
        box->setDecimals(decimals);
        box->setRange(lowest, limits.highest);
    }
    stepBox_->setDecimals(decimals);
    stepBox_->setRange(limits.whole ? 1.0 : 0.001, limits.highest);
    fromBox_->setValue(offered.from);
    toBox_->setValue(offered.to);
    stepBox_->setValue(offered.step);
}

void WhatIfPanel::showEvent(QShowEvent* event)
{
    if (!(SettingsInUse(form_.sim) == offeredFor_)) {
        offerRange();
    }
    QWidget::showEvent(event);
}

bool WhatIfPanel::run()
{
    if (running()) {
        return false;
    }
    const SweptSetting setting = chosenSetting();
    batch::Settings base = batch::WhatIfBase(SettingsInUse(form_.sim), secondsBox_->value(), replicationsBox_->value());
    const std::string problem = batch::RangeProblem(base, setting, chosenRange());
    if (!problem.empty()) {
        status_->setText(QString::fromStdString(problem));
        return false;
    }
    const batch::SweepRange range = chosenRange();
    const std::vector<batch::SweepAxis> axes{{setting, batch::SweepValues(range.from, range.to, range.step)}};
    runningBase_ = std::move(base);
    runningSetting_ = setting;
    runningPoints_ = batch::GridPoints(runningBase_, axes);
    secondsToRun_ = static_cast<double>(runningBase_.seconds) * runningBase_.replications *
                    static_cast<double>(runningPoints_.size());
    watch_ = std::make_unique<batch::RunWatch>();
    sweep_ = std::async(std::launch::async, [points = runningPoints_, watch = watch_.get()] {
        return batch::RunSweep(points, SweepWorkers(), watch);
    });
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    status_->setText(tr("Running %1\u2026").arg(PointCount(runningPoints_.size())));
    pollTimer_->start();
    return true;
}

void WhatIfPanel::cancel()
{
    if (watch_) {
        watch_->cancelled = true;
    }
}

void WhatIfPanel::poll()
{
    if (!running()) {
        return;
    }
    const auto done = static_cast<double>(watch_->secondsDone.load());
    progress_->setValue(static_cast<int>(progress_->maximum() * std::min(done / secondsToRun_, 1.0)));
    if (sweep_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    std::optional<std::vector<batch::Summary>> summaries = sweep_.get();
    watch_.reset();
    if (!summaries) {
        progress_->setValue(0);
        finish(tr("Cancelled."));
        return;
    }
    base_ = runningBase_;
    setting_ = runningSetting_;
    points_ = std::move(runningPoints_);
    summaries_ = std::move(*summaries);
    progress_->setValue(progress_->maximum());
    exportButton_->setEnabled(true);
    markerShown_.reset();
    showResults();
    finish(tr("Done. Click a point to set the main window to it."));
}

void WhatIfPanel::finish(const QString& status)
{
    pollTimer_->stop();
    runButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    status_->setText(status);
}

void WhatIfPanel::followMain()
{
    if (points_.empty()) {
        return;
    }
    const double marker = batch::SweptValue(batch::WhatIfBase(SettingsInUse(form_.sim), 1, 1), setting_);
    if (markerShown_ != marker) {
        showResults();
    }
}

void WhatIfPanel::showResults()
{
    if (points_.empty()) {
        return;
    }
    const Measure& measure = kMeasures.at(static_cast<std::size_t>(std::max(measureBox_->currentIndex(), 0)));
    std::vector<WhatIfPlot::Point> shown;
    for (std::size_t p = 0; p < points_.size(); ++p) {
        const std::optional<ConfidenceInterval> ci = batch::IntervalOf(summaries_[p], measure);
        shown.push_back({points_[p].at.front(), summaries_[p].simulated.values.*measure.simulated,
                         ci ? std::optional(ci->low) : std::nullopt, ci ? std::optional(ci->high) : std::nullopt});
    }
    markerShown_ = batch::SweptValue(batch::WhatIfBase(SettingsInUse(form_.sim), 1, 1), setting_);
    QString yTitle = ToQString(measure.symbol) + QStringLiteral("  ") + Translated("Measures", measure.name);
    if (!measure.unit.empty()) {
        yTitle += QStringLiteral(" (") + ToQString(measure.unit) + QStringLiteral(")");
    }
    plot_->showSweep(
        SettingName(static_cast<std::size_t>(setting_)), yTitle, std::move(shown),
        batch::TheoryCurve(base_, setting_, points_.front().at.front(), points_.back().at.front(), measure),
        markerShown_);
}

QString WhatIfPanel::sweepLine() const
{
    // The other settings, short: the swept one's own value would mislead.
    QStringList others{tr("%1 arrivals, %2 service").arg(ToQString(base_.arrival), ToQString(base_.service))};
    const std::array<std::pair<SweptSetting, QString>, 4> fixed{{
        {SweptSetting::ArrivalRate, QStringLiteral("\u03bb = %1 /s")},
        {SweptSetting::ServiceRate, QStringLiteral("\u03bc = %1 /s")},
        {SweptSetting::Servers, QStringLiteral("c = %1")},
        {SweptSetting::QueueLength, QStringLiteral("K = %1")},
    }};
    for (const auto& [setting, text] : fixed) {
        if (setting != setting_) {
            others << text.arg(batch::SweptValue(base_, setting));
        }
    }
    return tr("%1 from %2 to %3: %4 of %5 s \u00d7 %6; %7")
        .arg(SettingName(static_cast<std::size_t>(setting_)), QString::number(points_.front().at.front()),
             QString::number(points_.back().at.front()), PointCount(points_.size()), QString::number(base_.seconds),
             QString::number(base_.replications), others.join(QStringLiteral(", ")));
}

QString WhatIfPanel::exportTo(const QString& path)
{
    const bool png = QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    QString error = png ? SavePng(WithTextLine(plot_->grab().toImage(), sweepLine()), path)
                        : SaveWhole(path, QByteArray::fromStdString(batch::SweepCsv(points_, summaries_)));
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Export"), error);
    }
    return error;
}

void WhatIfPanel::chooseExportFile()
{
    const QString path = ChooseExportPath(this, tr("Export the sweep"));
    if (!path.isEmpty()) {
        exportTo(path);
    }
}

}  // namespace waitline
