#include "ui/accessibility/control_explanations.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "ui/common/text.h"

namespace waitline {

const Explanation* FindExplanation(QStringView object) { return FindExplanation(object.toString().toStdString()); }

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
