#include "ui/accessibility/control_explanations.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "statistics/measures.h"
#include "ui/common/text.h"

namespace waitline {

const Explanation* FindExplanation(QStringView object) { return FindExplanation(object.toString().toStdString()); }

QString HelpText(const Explanation& row)
{
    QString help = Translated("Explanations", row.help);
    if (row.measure.empty()) {
        return help;
    }
    const Measure& measure = MeasureKeyed(row.measure);
    return help + Translated("Explanations", kWrittenAs)
                      .arg(ToQString(TextbookSymbol(row)), Translated("Measures", measure.name));
}

QString SpokenName(const Explanation& row) { return Translated("Explanations", row.name); }

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
        const QString help = HelpText(row);
        control->setToolTip(ToolTipText(help));
        control->setAccessibleDescription(help);
        if (!row.name.empty()) {
            control->setAccessibleName(SpokenName(row));
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
