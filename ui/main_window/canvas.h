#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

namespace waitline {

class DrawnItem;
class LabelItem;

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

    // The topmost shown label that covers this point of the canvas, or null.
    LabelItem* labelAt(const QPoint& at) const;

    // What the picture shows, in words, for screen readers; asked for only
    // when one reads it.
    void setDescriber(std::function<QString()> describe) { describe_ = std::move(describe); }
    QString description() const { return describe_ ? describe_() : QString(); }

protected:
    // Hovering a painted label shows the tooltip of what it shows.
    bool event(QEvent* event) override;

    // Paints only the items that reach into the event's area, in stacking
    // order, so a partial update costs what it covers.
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<DrawnItem*> items_;
    std::function<QString()> describe_;
};

}  // namespace waitline
