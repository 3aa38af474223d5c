#include "ui/explanations.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "statistics/measures.h"
#include "ui/text.h"

namespace waitline {

const Explanation* FindExplanation(QStringView object)
{
    for (const Explanation& row : kExplanations) {
        if (object == QLatin1StringView(row.object.data(), static_cast<qsizetype>(row.object.size()))) {
            return &row;
        }
    }
    return nullptr;
}

QString TextbookSymbol(const Explanation& row)
{
    if (row.measure.empty()) {
        return {};
    }
    const Measure& measure = MeasureKeyed(row.measure);
    return (measure.percent ? QStringLiteral("100 \u00d7 ") : QString()) + ToQString(measure.symbol);
}

QString HelpText(const Explanation& row)
{
    QString help = ToQString(row.help);
    if (row.measure.empty()) {
        return help;
    }
    const Measure& measure = MeasureKeyed(row.measure);
    return help + QStringLiteral(" The textbook and the analysis window write it %1, the %2.")
                      .arg(TextbookSymbol(row), ToQString(measure.name));
}

void ExplainControls(QWidget& window)
{
    for (const Explanation& row : kExplanations) {
        if (row.kind != Explained::Control) {
            continue;
        }
        auto* control = window.findChild<QWidget*>(ToQString(row.object), Qt::FindDirectChildrenOnly);
        if (control == nullptr) {
            continue;
        }
        const QString help = ToQString(row.help);
        control->setToolTip(ToolTipText(help));
        control->setAccessibleDescription(help);
        if (!row.name.empty()) {
            control->setAccessibleName(ToQString(row.name));
        }
        // An editable box's line edit is where the focus lands and what a
        // screen reader names first.
        if (auto* box = qobject_cast<QComboBox*>(control); box != nullptr && box->lineEdit() != nullptr) {
            box->lineEdit()->setAccessibleName(control->accessibleName());
            box->lineEdit()->setAccessibleDescription(help);
        }
    }
}

}  // namespace waitline
