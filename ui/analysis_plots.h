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

    // `theoryTime` is the textbook's mean time in the system, when there is one.
    void showRecord(const RunRecord& record, std::optional<double> theoryTime);

    const QLineSeries& meanTimeLine() const { return *meanTime_; }
    const QAreaSeries& meanTimeBand() const { return *band_; }
    const QLineSeries& theoryLine() const { return *theory_; }
    const QLineSeries& depthSteps() const { return *depth_; }
    const QLineSeries& histogramOutline() const { return *histogram_; }

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
    void showHistogram(const RunRecord& record);

    QLineSeries* meanTime_ = nullptr;
    QLineSeries* bandLow_ = nullptr;
    QLineSeries* bandHigh_ = nullptr;
    QAreaSeries* band_ = nullptr;
    QLineSeries* theory_ = nullptr;
    Axes meanTimeAxes_;

    QLineSeries* depth_ = nullptr;
    Axes depthAxes_;

    QLineSeries* histogram_ = nullptr;
    Axes histogramAxes_;
};

}  // namespace waitline
