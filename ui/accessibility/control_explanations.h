#pragma once

#include <QString>
#include <QStringView>

#include "picture/explanations.h"

class QWidget;

namespace waitline {

// The row for this objectName, or null.
const Explanation* FindExplanation(QStringView object);

// The tooltip and description of a row, translated: its help, and for a
// statistic what the textbook and the analysis window call it.
QString HelpText(const Explanation& row);

// The spoken name of a row, translated.
QString SpokenName(const Explanation& row);

// Gives the window's buttons and combo boxes their tooltips, accessible names
// and descriptions.
void ExplainControls(QWidget& window);

}  // namespace waitline
