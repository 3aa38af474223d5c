#pragma once

#include <QComboBox>

namespace waitline {

// An editable combo box whose Enter key and loss of focus never count as the
// user choosing a list entry; only the list itself (or the arrow keys and the
// wheel on the closed box) does.
class ChoiceComboBox : public QComboBox {
    Q_OBJECT
public:
    ChoiceComboBox(bool editable, QWidget* parent);

Q_SIGNALS:
    // The user chose the entry at this index.
    void chosen(int index);

private:
    bool lineEditFinishing_ = false;
};

}  // namespace waitline
