#include "ui/main_window/choice_combo_box.h"

#include <QLineEdit>

namespace waitline {

ChoiceComboBox::ChoiceComboBox(bool editable, QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // QComboBox treats Enter, and the end of editing, on a text equal to a
        // list entry as choosing that entry. Here only the list chooses: the
        // line edit's own signals mark the window in which such an activation
        // would come. Our first slots are connected before the combo box's.
        auto* edit = new QLineEdit(this);
        const auto mark = [this] {
            lineEditFinishing_ = true;
            QMetaObject::invokeMethod(
                this, [this] { lineEditFinishing_ = false; }, Qt::QueuedConnection);
        };
        connect(edit, &QLineEdit::returnPressed, this, mark);
        connect(edit, &QLineEdit::editingFinished, this, mark);
        setLineEdit(edit);
        connect(edit, &QLineEdit::editingFinished, this, [this] { lineEditFinishing_ = false; });
        setCompleter(nullptr);
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!lineEditFinishing_) {
            Q_EMIT chosen(index);
        }
    });
}

}  // namespace waitline
