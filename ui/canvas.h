#pragma once

#include <QWidget>

#include <vector>

namespace waitline {

class DrawnItem;

// The one widget that paints every label, shape and line of the window over
// its light grey background. Buttons and combo boxes are sibling widgets lying
// on top of it.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent);

    // The items from back to front: the last one is painted on top.
    void setItems(std::vector<DrawnItem*> backToFront) { items_ = std::move(backToFront); }
    const std::vector<DrawnItem*>& items() const { return items_; }

protected:
    // Paints only the items that reach into the event's area, in stacking
    // order, so a partial update costs what it covers.
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<DrawnItem*> items_;
};

}  // namespace waitline
