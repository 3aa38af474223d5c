#include "ui/analysis_window/analysis_table.h"

#include <QCoreApplication>
#include <QHeaderView>

#include <algorithm>

#include "statistics/measures.h"
#include "statistics/queue_theory.h"
#include "statistics/run_record.h"
#include "ui/common/text.h"

namespace waitline {
namespace {

const QString kNone = QStringLiteral("\u2014");
QString NotYet() { return QCoreApplication::translate("AnalysisWindow", "not yet available"); }

// A share as a percentage with two decimals, anything else with three and
// its unit; the same '.' as the main window's labels, whatever the locale.
QString Number(const Measure& measure, double value)
{
    return QString::number(measure.percent ? value * 100.0 : value, 'f', measure.percent ? 2 : 3);
}

QString WithUnit(const Measure& measure, const QString& number)
{
    const QString unit = measure.percent ? QStringLiteral("%") : Translated("Measures", measure.unit);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

QString ValueText(const Measure& measure, double value) { return WithUnit(measure, Number(measure, value)); }

QString IntervalText(const Measure& measure, const SeriesMeasures& measures)
{
    if (measure.interval == nullptr) {
        return kNone;
    }
    const std::optional<ConfidenceInterval>& interval = measures.intervals.*measure.interval;
    if (!interval) {
        return NotYet();
    }
    return WithUnit(measure,
                    Number(measure, interval->low) + QStringLiteral(" \u2013 ") + Number(measure, interval->high));
}

}  // namespace

AnalysisTable::AnalysisTable(QWidget* parent) : QTableWidget(static_cast<int>(kMeasures.size()), ColumnCount, parent)
{
    setObjectName(QStringLiteral("measuresTable"));
    setHorizontalHeaderLabels({QCoreApplication::translate("AnalysisWindow", "Simulated"),
                               QCoreApplication::translate("AnalysisWindow", "95 % interval"),
                               QCoreApplication::translate("AnalysisWindow", "Theory")});
    for (int row = 0; row < rowCount(); ++row) {
        const Measure& measure = kMeasures[static_cast<std::size_t>(row)];
        auto* header = new QTableWidgetItem(ToQString(measure.symbol) + QStringLiteral("  ") +
                                            Translated("Measures", measure.name));
        header->setToolTip(ToolTipText(Translated("Measures", measure.meaning)));
        setVerticalHeaderItem(row, header);
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
    for (int row = 0; row < rowCount(); ++row) {
        const Measure& measure = kMeasures[static_cast<std::size_t>(row)];
        setText(row, Simulated, ValueText(measure, measures.values.*measure.simulated));
        setText(row, Interval, IntervalText(measure, measures));
        setText(row, Theory, theory ? ValueText(measure, (*theory).*measure.theory) : kNone);
    }
}

QString AnalysisTable::text(std::string_view key, Column column) const
{
    const auto* found =
        std::find_if(kMeasures.begin(), kMeasures.end(), [key](const Measure& m) { return m.key == key; });
    return found == kMeasures.end() ? QString() : item(static_cast<int>(found - kMeasures.begin()), column)->text();
}

void AnalysisTable::setText(int row, Column column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    // An equal text would still repaint the cell.
    if (cell->text() != text) {
        cell->setText(text);
    }
}

}  // namespace waitline
