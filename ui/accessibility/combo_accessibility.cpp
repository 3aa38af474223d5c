#include "ui/accessibility/combo_accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLineEdit>

#include "ui/main_window/choice_combo_box.h"

namespace waitline {

namespace {

// Everything else as Qt's combo box interface has it: the list and the line
// edit as children, the line edit holding the focus, and the action that
// opens and closes the list.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    int childCount() const override { return box()->isEditable() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(box()->view());
        }
        if (index == 1 && box()->isEditable()) {
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr) {
            return -1;
        }
        if (child->object() == box()->view()) {
            return 0;
        }
        if (box()->isEditable() && child->object() == box()->lineEdit()) {
            return 1;
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QLineEdit* edit = box()->lineEdit();
        if (edit != nullptr && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y)) {
            return child(1);
        }
        return nullptr;
    }

    // The combo box is the focus proxy of its line edit, so the line edit never
    // takes the focus itself; it is still where the typing goes.
    QAccessibleInterface* focusChild() const override { return box()->isEditable() ? child(1) : nullptr; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return box()->accessibleName().isEmpty() ? currentText() : box()->accessibleName();
        case QAccessible::Value: return currentText();
        case QAccessible::Accelerator: return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        default: return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view() != nullptr && box()->view()->isVisible();
        s.editable = box()->isEditable();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
        } else if (box()->view()->isVisible()) {
            box()->hidePopup();
        } else {
            box()->showPopup();
        }
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    QString currentText() const { return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText(); }
};

}  // namespace

QAccessibleInterface* ComboAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1StringView(ChoiceComboBox::staticMetaObject.className())) {
        return new ComboAccessible(static_cast<ChoiceComboBox*>(object));
    }
    return nullptr;
}

}  // namespace waitline
