#include "ui/analysis_table.h"

#include <QHeaderView>

#include <array>

#include "engine/queue_theory.h"
#include "engine/run_record.h"

namespace waitline {
namespace {

// Each measure's unit and how many decimals it is worth showing.
struct RowLook {
    const char* name;
    const char* unit;
    double scale;  // from the record's value to the shown one
    int decimals;
};

constexpr std::array<RowLook, AnalysisTable::RowCount> kRows{{
    {"Packets turned away", "%", 100.0, 2},
    {"Mean time in the system", "s", 1.0, 3},
    {"Mean packets holding places", "", 1.0, 3},
    {"Throughput", "packets/s", 1.0, 3},
    {"Server utilisation", "%", 100.0, 2},
    {"Mean packets waiting", "", 1.0, 3},
    {"Standard deviation of time in the system", "s", 1.0, 3},
}};

const QString kNone = QStringLiteral("\u2014");
const QString kNotYet = QStringLiteral("not yet available");

QString WithUnit(const QString& number, const RowLook& look)
{
    if (*look.unit == '\0') {
        return number;
    }
    return number + QLatin1Char(' ') + QLatin1String(look.unit);
}

// The same '.' as the main window's labels, whatever the locale.
QString ValueText(AnalysisTable::Row row, double value)
{
    const RowLook& look = kRows[static_cast<std::size_t>(row)];
    return WithUnit(QString::number(value * look.scale, 'f', look.decimals), look);
}

QString IntervalText(AnalysisTable::Row row, const std::optional<ConfidenceInterval>& interval)
{
    if (!interval) {
        return kNotYet;
    }
    const RowLook& look = kRows[static_cast<std::size_t>(row)];
    const QString low = QString::number(interval->low * look.scale, 'f', look.decimals);
    const QString high = QString::number(interval->high * look.scale, 'f', look.decimals);
    return WithUnit(low + QStringLiteral(" \u2013 ") + high, look);
}

}  // namespace

AnalysisTable::AnalysisTable(QWidget* parent) : QTableWidget(RowCount, ColumnCount, parent)
{
    setObjectName(QStringLiteral("measuresTable"));
    setHorizontalHeaderLabels({QStringLiteral("Simulated"), QStringLiteral("95 % interval"), QStringLiteral("Theory")});
    QStringList names;
    for (const RowLook& look : kRows) {
        names << QString::fromLatin1(look.name);
    }
    setVerticalHeaderLabels(names);
    for (int row = 0; row < RowCount; ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(kNone);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(row, column, item);
        }
    }
    // One line a row: a narrow window elides a cell instead of growing it.
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void AnalysisTable::showMeasures(const SeriesMeasures& measures, const std::optional<QueueTheory>& theory)
{
    setText(Loss, Simulated, ValueText(Loss, measures.loss));
    setText(MeanTimeInSystem, Simulated, ValueText(MeanTimeInSystem, measures.meanTimeInSystem));
    setText(MeanInSystem, Simulated, ValueText(MeanInSystem, measures.meanInSystem));
    setText(Throughput, Simulated, ValueText(Throughput, measures.throughput));
    setText(Utilisation, Simulated, ValueText(Utilisation, measures.utilisation));
    setText(MeanWaiting, Simulated, ValueText(MeanWaiting, measures.meanQueue));
    setText(SdTimeInSystem, Simulated, ValueText(SdTimeInSystem, measures.sdTimeInSystem));

    // Only the batch means of these three carry an interval.
    setText(Loss, Interval, IntervalText(Loss, measures.intervals.loss));
    setText(MeanTimeInSystem, Interval, IntervalText(MeanTimeInSystem, measures.intervals.meanTimeInSystem));
    setText(MeanInSystem, Interval, IntervalText(MeanInSystem, measures.intervals.meanInSystem));

    // The textbook gives no spread of the time in the system: that row stays
    // empty in this column.
    setText(Loss, Theory, theory ? ValueText(Loss, theory->lossProbability) : kNone);
    setText(MeanTimeInSystem, Theory, theory ? ValueText(MeanTimeInSystem, theory->meanTimeInSystem) : kNone);
    setText(MeanInSystem, Theory, theory ? ValueText(MeanInSystem, theory->meanInSystem) : kNone);
    setText(Throughput, Theory, theory ? ValueText(Throughput, theory->throughput) : kNone);
    setText(Utilisation, Theory, theory ? ValueText(Utilisation, theory->utilisation) : kNone);
    setText(MeanWaiting, Theory, theory ? ValueText(MeanWaiting, theory->meanWaiting) : kNone);
}

QString AnalysisTable::text(Row row, Column column) const { return item(row, column)->text(); }

void AnalysisTable::setText(Row row, Column column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    // An equal text would still repaint the cell.
    if (cell->text() != text) {
        cell->setText(text);
    }
}

}  // namespace waitline
