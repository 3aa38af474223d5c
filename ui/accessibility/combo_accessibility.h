#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// The window's combo boxes as screen readers see them. Qt's own interface for
// a combo box on Linux answers its current text when asked for its name and
// leaves the name to a QLabel buddy; the window's captions are painted, so the
// boxes name themselves from their accessibleName and give the text as value.
namespace waitline {

// For QAccessible::installFactory: the interface of a ChoiceComboBox.
QAccessibleInterface* ComboAccessibleFactory(const QString& className, QObject* object);

}  // namespace waitline
