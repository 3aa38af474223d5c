#pragma once

#include <QTableWidget>

#include <optional>
#include <string_view>

namespace waitline {

struct QueueTheory;
struct SeriesMeasures;

// The measures of the series beside their 95 % intervals and the textbook's
// values, a row for each measure of the measures table, in its order. A cell
// whose value nobody can vouch for says so in words; it never shows a number.
class AnalysisTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column : int { Simulated, Interval, Theory, ColumnCount };

    explicit AnalysisTable(QWidget* parent = nullptr);

    // `theory` is empty when the settings have no exact values.
    void showMeasures(const SeriesMeasures& measures, const std::optional<QueueTheory>& theory);

    // The cell of the measure with this key.
    QString text(std::string_view key, Column column) const;

private:
    void setText(int row, Column column, const QString& text);
};

}  // namespace waitline
