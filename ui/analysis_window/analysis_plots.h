#pragma once

#include <QAreaSeries>
#include <QLineSeries>
#include <QWidget>

#include <cstddef>
#include <optional>

class QChart;
class QValueAxis;

namespace waitline {

class RunRecord;
struct QueueSettings;
struct QueueTheory;

// The analysis window's three charts: the running mean time in the system
// with its 95 % band and the textbook's value, the places held over the last
// minute, and the histogram of the times in the system. Each is drawn afresh
// from the record on every refresh.
class AnalysisPlots : public QWidget {
    Q_OBJECT
public:
    // However long the series, a line gets at most about this many points,
    // so that a refresh costs the same after four hours as after four minutes.
    static constexpr std::size_t kMaxPoints = 300;

    explicit AnalysisPlots(QWidget* parent = nullptr);

    // The histogram shows this many bins at most, besides the one for the
    // times beyond its 99th percentile.
    static constexpr int kHistogramBins = 40;

    // `theory` holds the textbook's values for `queue`, when there are any;
    // they, and the distribution of the time in the system, are drawn beside
    // the record's.
    void showRecord(const RunRecord& record, const std::optional<QueueTheory>& theory, const QueueSettings& queue);

    const QLineSeries& meanTimeLine() const { return *meanTime_; }
    const QAreaSeries& meanTimeBand() const { return *band_; }
    const QLineSeries& theoryLine() const { return *theory_; }
    const QLineSeries& depthSteps() const { return *depth_; }
    const QLineSeries& histogramOutline() const { return *histogram_; }
    // The last bar, for every time beyond the others.
    const QLineSeries& histogramBeyond() const { return *beyond_; }
    // The textbook's count for each bar, as steps; empty without a theory.
    const QLineSeries& histogramTheory() const { return *histogramTheory_; }

private:
    struct Axes {
        QValueAxis* x = nullptr;
        QValueAxis* y = nullptr;
    };

    void buildMeanTimeChart(QChart* chart);
    void buildDepthChart(QChart* chart);
    void buildHistogramChart(QChart* chart);
    void showMeanTime(const RunRecord& record, std::optional<double> theoryTime);
    void showDepth(const RunRecord& record);
    void showHistogram(const RunRecord& record, const QueueSettings* theoryQueue);

    QLineSeries* meanTime_ = nullptr;
    QLineSeries* bandLow_ = nullptr;
    QLineSeries* bandHigh_ = nullptr;
    QAreaSeries* band_ = nullptr;
    QLineSeries* theory_ = nullptr;
    Axes meanTimeAxes_;

    QLineSeries* depth_ = nullptr;
    Axes depthAxes_;

    QLineSeries* histogram_ = nullptr;
    QLineSeries* beyond_ = nullptr;
    QLineSeries* histogramTheory_ = nullptr;
    Axes histogramAxes_;
    QChart* histogramChart_ = nullptr;
};

}  // namespace waitline
