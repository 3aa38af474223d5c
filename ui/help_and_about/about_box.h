#pragma once

class QMessageBox;
class QWidget;

namespace waitline {

// The "About Waitline" box: the program's icon, name and version, what the
// demo shows and the licence. Window-modal and deleted when closed; open it
// with open() so that the run goes on behind it.
QMessageBox* MakeAboutBox(QWidget* parent);

}  // namespace waitline
