#pragma once

#include <QTableWidget>

#include <optional>

namespace waitline {

struct QueueTheory;
struct SeriesMeasures;

// The measures of the series beside their 95 % intervals and the textbook's
// values. A cell whose value nobody can vouch for says so in words; it never
// shows a number.
class AnalysisTable : public QTableWidget {
    Q_OBJECT
public:
    enum Row : int {
        Loss,
        MeanTimeInSystem,
        MeanInSystem,
        Throughput,
        Utilisation,
        MeanWaiting,
        SdTimeInSystem,
        RowCount
    };
    enum Column : int { Simulated, Interval, Theory, ColumnCount };

    explicit AnalysisTable(QWidget* parent = nullptr);

    // `theory` is empty when the settings have no exact values.
    void showMeasures(const SeriesMeasures& measures, const std::optional<QueueTheory>& theory);

    QString text(Row row, Column column) const;

private:
    void setText(Row row, Column column, const QString& text);
};

}  // namespace waitline
