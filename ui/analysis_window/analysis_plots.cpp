#include "ui/analysis_window/analysis_plots.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <span>
#include <vector>

#include "statistics/measures.h"
#include "statistics/queue_theory.h"
#include "statistics/run_record.h"
#include "ui/common/text.h"

namespace waitline {
namespace {

// The depth chart shows the last minute against the seconds before the
// newest sample: its axis never moves, and an axis that moves lays out its
// labels again, which costs more than drawing the line.
constexpr double kDepthSpanSeconds = 60.0;
// Room above the highest value, so that a line never runs along the frame.
constexpr double kHeadroom = 1.1;
// A histogram's axis reaches at least this count, so that its ticks stay
// whole packets.
constexpr double kLowestCountTop = 5.0;

struct Span {
    double from = 0.0;
    double to = 1.0;
};

QChartView* NewChartView(const QString& title, QWidget* parent)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    // Square corners and no frame: the same look in less painting.
    chart->setBackgroundRoundness(0.0);
    auto* view = new QChartView(chart, parent);
    view->setFrameShape(QFrame::NoFrame);
    // No antialiasing: it would double the time a refresh's repaint takes,
    // and the steps look the same without it.
    view->setRenderHint(QPainter::Antialiasing, false);
    // Tall enough for its axes to say something; where the window is
    // shorter, it scrolls rather than squashing the charts.
    view->setMinimumSize(240, 220);
    return view;
}

// Ticks at whole multiples of the axis's tick interval, whatever its range,
// so that the labels stay put while a chart scrolls.
QValueAxis* AddAxis(QChart* chart, Qt::Alignment side, const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    // "2" and "0.5" rather than "2.0" and "0.5".
    axis->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(axis, side);
    return axis;
}

void AddSeries(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// Calls `take` with every stride-th index below `count`, and always with the
// last, so that at most kMaxPoints + 1 points stand for any number of rows.
template <typename Take>
void ForSampledIndices(std::size_t count, Take take)
{
    if (count == 0) {
        return;
    }
    const std::size_t stride = (count + AnalysisPlots::kMaxPoints - 1) / AnalysisPlots::kMaxPoints;
    for (std::size_t i = 0; i < count; i += stride) {
        take(i);
    }
    if ((count - 1) % stride != 0) {
        take(count - 1);
    }
}

// A tick step of 1, 2 or 5 times a power of ten that gives three to six ticks
// over the span.
double NiceStep(double span)
{
    constexpr double kTicks = 6.0;
    if (!(span > 0.0)) {
        return 1.0;
    }
    const double rough = span / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (rough <= multiple * power) {
            return multiple * power;
        }
    }
    return 10.0 * power;
}

// The top of a value axis: a round number at or above `value`, from a
// coarse enough list that the axis stays as it is while the data move a
// little, and a fine enough one that the data fill most of the chart.
double NiceTop(double value)
{
    if (!(value > 0.0)) {
        return 1.0;
    }
    // The clock adds up hundredths, so 120 s arrives as a hair above 120.
    constexpr double kSlack = 1e-9;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double multiple : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0}) {
        if (value <= multiple * power * (1.0 + kSlack)) {
            return multiple * power;
        }
    }
    return 10.0 * power;
}

Span ValueSpan(double highest, double lowestTop = 0.0)
{
    return {0.0, NiceTop(std::max(highest * kHeadroom, lowestTop))};
}

bool Differs(const QValueAxis* axis, Span span) { return axis->min() != span.from || axis->max() != span.to; }

void SetSpan(QValueAxis* axis, Span span, double step)
{
    // The step first: the old step over a much longer range would make the
    // axis build thousands of labels.
    axis->setTickInterval(step);
    axis->setRange(span.from, span.to);
}

struct Line {
    QLineSeries* series;
    const QList<QPointF>* points;
};

// Moving an axis draws every series on it again, and so does new points. The
// series are emptied before the axes move, so that each is drawn once, with
// its new points, whatever moved: with a thousand points a draw is not cheap.
void Redraw(std::initializer_list<Line> lines, QValueAxis* x, Span xSpan, double xStep, QValueAxis* y, Span ySpan,
            double yStep)
{
    const bool xMoves = Differs(x, xSpan);
    const bool yMoves = Differs(y, ySpan);
    if (xMoves || yMoves) {
        for (const Line& line : lines) {
            line.series->clear();
        }
    }
    if (xMoves) {
        SetSpan(x, xSpan, xStep);
    }
    if (yMoves) {
        SetSpan(y, ySpan, yStep);
    }
    for (const Line& line : lines) {
        line.series->replace(*line.points);
    }
}

}  // namespace

AnalysisPlots::AnalysisPlots(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("analysisPlots"));
    const Measure& time = MeasureKeyed("mean_time_in_system");
    QChartView* meanTimeView =
        NewChartView(QCoreApplication::translate("AnalysisWindow", "%1, the %2: its running mean")
                         .arg(ToQString(time.symbol), Translated("Measures", time.name)),
                     this);
    QChartView* depthView =
        NewChartView(QCoreApplication::translate("AnalysisWindow", "Packets holding places, last minute"), this);
    QChartView* histogramView =
        NewChartView(QCoreApplication::translate("AnalysisWindow", "Times in the system"), this);
    buildMeanTimeChart(meanTimeView->chart());
    buildDepthChart(depthView->chart());
    buildHistogramChart(histogramView->chart());

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(meanTimeView, 0, 0, 1, 2);
    grid->addWidget(depthView, 1, 0);
    grid->addWidget(histogramView, 1, 1);
}

void AnalysisPlots::buildMeanTimeChart(QChart* chart)
{
    meanTimeAxes_ = {
        AddAxis(chart, Qt::AlignBottom, QCoreApplication::translate("AnalysisWindow", "simulated time (s)")),
        AddAxis(chart, Qt::AlignLeft, QCoreApplication::translate("AnalysisWindow", "seconds"))};

    band_ = new QAreaSeries;
    band_->setName(QCoreApplication::translate("AnalysisWindow", "95 % interval"));
    bandHigh_ = new QLineSeries(band_);
    bandLow_ = new QLineSeries(band_);
    band_->setUpperSeries(bandHigh_);
    band_->setLowerSeries(bandLow_);
    band_->setColor(QColor(70, 130, 180, 70));
    band_->setPen(Qt::NoPen);
    AddSeries(chart, band_, meanTimeAxes_.x, meanTimeAxes_.y);

    meanTime_ = new QLineSeries;
    meanTime_->setName(QCoreApplication::translate("AnalysisWindow", "running mean"));
    meanTime_->setPen(QPen(QColor(25, 70, 150), 1.0));
    AddSeries(chart, meanTime_, meanTimeAxes_.x, meanTimeAxes_.y);

    theory_ = new QLineSeries;
    theory_->setName(QCoreApplication::translate("AnalysisWindow", "theory"));
    theory_->setPen(QPen(QColor(200, 60, 30), 2.0, Qt::DashLine));
    AddSeries(chart, theory_, meanTimeAxes_.x, meanTimeAxes_.y);

    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->show();
}

void AnalysisPlots::buildDepthChart(QChart* chart)
{
    depthAxes_ = {
        AddAxis(chart, Qt::AlignBottom, QCoreApplication::translate("AnalysisWindow", "simulated seconds before now")),
        AddAxis(chart, Qt::AlignLeft, QCoreApplication::translate("AnalysisWindow", "places held"))};
    depth_ = new QLineSeries;
    depth_->setPen(QPen(QColor(25, 70, 150), 1.0));
    AddSeries(chart, depth_, depthAxes_.x, depthAxes_.y);
}

void AnalysisPlots::buildHistogramChart(QChart* chart)
{
    histogramChart_ = chart;
    const Measure& time = MeasureKeyed("mean_time_in_system");
    histogramAxes_ = {
        AddAxis(chart, Qt::AlignBottom,
                QStringLiteral("%1 (%2)").arg(Translated("Measures", time.name), Translated("Measures", time.unit))),
        AddAxis(chart, Qt::AlignLeft, QCoreApplication::translate("AnalysisWindow", "packets"))};
    histogramAxes_.y->setLabelFormat(QStringLiteral("%.0f"));
    auto addBars = [&](const QColor& fill) {
        auto* area = new QAreaSeries;
        auto* outline = new QLineSeries(area);
        area->setUpperSeries(outline);
        area->setColor(fill);
        area->setPen(QPen(QColor(25, 70, 150), 1.0));
        AddSeries(chart, area, histogramAxes_.x, histogramAxes_.y);
        return outline;
    };
    histogram_ = addBars(QColor(70, 130, 180, 160));
    beyond_ = addBars(QColor(150, 150, 150, 160));
    histogramTheory_ = new QLineSeries;
    histogramTheory_->setPen(QPen(QColor(200, 40, 30), 2.0));
    AddSeries(chart, histogramTheory_, histogramAxes_.x, histogramAxes_.y);
}

void AnalysisPlots::showRecord(const RunRecord& record, const std::optional<QueueTheory>& theory,
                               const QueueSettings& queue)
{
    showMeanTime(record, theory ? std::optional<double>(theory->meanTimeInSystem) : std::nullopt);
    showDepth(record);
    showHistogram(record, theory ? &queue : nullptr);
}

void AnalysisPlots::showMeanTime(const RunRecord& record, std::optional<double> theoryTime)
{
    const std::span<const SeriesRow> rows = record.rows();
    QList<QPointF> mean;
    QList<QPointF> low;
    QList<QPointF> high;
    mean.reserve(static_cast<qsizetype>(kMaxPoints) + 1);
    low.reserve(mean.capacity());
    high.reserve(mean.capacity());
    double highest = theoryTime.value_or(0.0);
    ForSampledIndices(rows.size(), [&](std::size_t i) {
        const SeriesRow& row = rows[i];
        mean.append(QPointF(row.time, row.meanTimeInSystem));
        highest = std::max(highest, row.meanTimeInSystem);
        if (row.meanTimeBand) {
            low.append(QPointF(row.time, row.meanTimeBand->low));
            high.append(QPointF(row.time, row.meanTimeBand->high));
            highest = std::max(highest, row.meanTimeBand->high);
        } else if (!low.isEmpty()) {
            // A row without an interval after one with: the band narrows to
            // the mean rather than claiming a width nobody measured.
            low.append(mean.constLast());
            high.append(mean.constLast());
        }
    });

    QList<QPointF> theory;
    if (theoryTime && !mean.isEmpty()) {
        theory = {QPointF(mean.constFirst().x(), *theoryTime), QPointF(mean.constLast().x(), *theoryTime)};
    }
    theory_->setVisible(theoryTime.has_value());

    // From the series' start to a round length past its newest row: the axis
    // moves only when the line reaches its end.
    const double start = rows.empty() ? 0.0 : rows.front().time - record.rowStepSeconds();
    const double last = rows.empty() ? start : rows.back().time;
    const Span time{start, start + NiceTop(std::max(last - start, 1.0))};
    const Span seconds = ValueSpan(highest);
    Redraw({{bandLow_, &low}, {bandHigh_, &high}, {meanTime_, &mean}, {theory_, &theory}}, meanTimeAxes_.x, time,
           NiceStep(time.to - time.from), meanTimeAxes_.y, seconds, NiceStep(seconds.to));
}

void AnalysisPlots::showDepth(const RunRecord& record)
{
    const std::vector<DepthSample> samples = record.depthSamples();
    // A step only where the count changes: the same picture as a point per
    // sample, with far fewer points at light load.
    QList<QPointF> steps;
    steps.reserve(2 * static_cast<qsizetype>(samples.size()));
    int highest = record.settings().queueLength;
    const double now = samples.empty() ? 0.0 : samples.back().time;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double ago = samples[i].time - now;
        const int held = samples[i].placesHeld;
        if (i == 0 || held != samples[i - 1].placesHeld) {
            if (i > 0) {
                steps.append(QPointF(ago, samples[i - 1].placesHeld));
            }
            steps.append(QPointF(ago, held));
        } else if (i + 1 == samples.size()) {
            steps.append(QPointF(ago, held));
        }
        highest = std::max(highest, held);
    }
    // Whole packets: a tick at every count.
    Redraw({{depth_, &steps}}, depthAxes_.x, {-kDepthSpanSeconds, 0.0}, kDepthSpanSeconds / 6.0, depthAxes_.y,
           {0.0, highest + 0.5}, 1.0);
}

void AnalysisPlots::showHistogram(const RunRecord& record, const QueueSettings* theoryQueue)
{
    const HistogramView view = ViewOfHistogram(record.histogram(), kHistogramBins);
    const double width = view.binSeconds;
    const auto bins = static_cast<int>(view.counts.size());
    auto bar = [](QList<QPointF>& outline, double from, double to, double count) {
        outline.append(QPointF(from, count));
        outline.append(QPointF(to, count));
    };
    QList<QPointF> outline;
    outline.reserve(2 * bins + 2);
    outline.append(QPointF(0.0, 0.0));
    double highest = static_cast<double>(view.beyond);
    for (int bin = 0; bin < bins; ++bin) {
        const auto count = static_cast<double>(view.counts[static_cast<std::size_t>(bin)]);
        bar(outline, bin * width, (bin + 1) * width, count);
        highest = std::max(highest, count);
    }
    outline.append(QPointF(bins * width, 0.0));
    const double end = bins * width;
    QList<QPointF> beyond{QPointF(end, 0.0)};
    bar(beyond, end, end + width, static_cast<double>(view.beyond));
    beyond.append(QPointF(end + width, 0.0));

    // The textbook's counts of the same packets in the same bars. The demo's
    // times are whole steps, each a drawn time rounded up: a bar from a to b
    // holds the drawn times from a - 1 step to b - 1 step.
    QList<QPointF> expected;
    if (theoryQueue != nullptr && view.total > 0) {
        const auto total = static_cast<double>(view.total);
        double below = 0.0;
        for (int bin = 0; bin < bins; ++bin) {
            const double within = TimeInSystemShareWithin(*theoryQueue, (bin + 1) * width - kTickSeconds);
            bar(expected, bin * width, (bin + 1) * width, total * (within - below));
            highest = std::max(highest, total * (within - below));
            below = within;
        }
        bar(expected, end, end + width, total * (1.0 - below));
    }
    histogramTheory_->setVisible(!expected.isEmpty());
    const QString title =
        QCoreApplication::translate("AnalysisWindow", "Packets served, by their %1 (grey: %2 s and longer)")
            .arg(Translated("Measures", MeasureKeyed("mean_time_in_system").name))
            .arg(end, 0, 'g', 3);
    // A new title lays the chart out again; most refreshes keep it.
    if (histogramChart_->title() != title) {
        histogramChart_->setTitle(title);
    }

    const Span times{0.0, end + width};
    const Span counts = ValueSpan(highest, kLowestCountTop);
    Redraw({{histogram_, &outline}, {beyond_, &beyond}, {histogramTheory_, &expected}}, histogramAxes_.x, times,
           NiceStep(times.to), histogramAxes_.y, counts, NiceStep(counts.to));
}

}  // namespace waitline
