#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// How screen readers see the picture: the canvas is a pane whose description
// says the queue in words, and each label painted on it is a child of its own,
// with its painted place, its spoken name and, for the counts and statistics,
// the text shown now.
namespace waitline {

// The accessible interfaces of the canvas and its labels, for
// QAccessible::installFactory.
QAccessibleInterface* PictureAccessibleFactory(const QString& className, QObject* object);

}  // namespace waitline
