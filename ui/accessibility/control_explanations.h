#pragma once

#include <QString>
#include <QStringView>

#include "picture/explanations.h"

class QWidget;

namespace waitline {

// The row for this objectName, or null.
const Explanation* FindExplanation(QStringView object);

// Gives the window's buttons and combo boxes their tooltips, accessible names
// and descriptions.
void ExplainControls(QWidget& window);

}  // namespace waitline
