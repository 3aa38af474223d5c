#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QObject>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>

#include <string_view>

class QPainter;

// The items of the window's picture: lines, rectangle outlines, packets and
// text labels. They are not widgets; the canvas paints them in its stacking
// order. Each carries its control name as objectName; members of a control
// array are named with their index appended ("boxQueue3", "sPacket17",
// "LineOut0") and also carry the index in the dynamic property "index".
namespace waitline {

class DrawnItem : public QObject {
    Q_OBJECT
public:
    bool isVisible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

    // Every pixel the item paints lies in this rectangle.
    virtual QRect paintedBounds() const = 0;

    // Paints the item as shown. The canvas calls it only for visible items
    // whose bounds reach into the area it repaints.
    virtual void paint(QPainter& painter) const = 0;

protected:
    DrawnItem(const QString& name, QObject* parent);

private:
    bool visible_ = true;
};

// A straight line of one colour and width.
class LineItem : public DrawnItem {
    Q_OBJECT
public:
    LineItem(const QString& name, const QLineF& line, const QColor& color, int width, QObject* parent);

    QLineF line() const { return line_; }
    void setLine(const QLineF& line)
    {
        line_ = line;
        imageValid_ = false;
    }
    QColor penColor() const { return pen_.color(); }
    int penWidth() const { return width_; }

    // A wide line's round caps reach half its width beyond the end points.
    QRect paintedBounds() const override;
    void paint(QPainter& painter) const override;

private:
    // Strokes a wide line, round caps and all, into its cached picture.
    void renderImage() const;

    QLineF line_;
    int width_;
    // Built once rather than on every paint.
    QPen pen_;
    // A wide line's picture: its round caps are curves that would be
    // flattened again on every repaint. Pixels are fully on or off, so the
    // transparent picture blends to exactly what stroking would paint.
    mutable QImage image_;
    mutable bool imageValid_ = false;
};

// Outlines, packets and labels lie in a rectangle that keeps the model's
// fractions; they are rounded only when painted.
class BoxItem : public DrawnItem {
    Q_OBJECT
public:
    QRectF rect() const { return rect_; }

    // The pixel rectangle the item covers once rounded.
    QRect pixelRect() const;

    // A box item paints inside its rounded rectangle (a label clips its text
    // to it).
    QRect paintedBounds() const override { return pixelRect(); }

protected:
    BoxItem(const QString& name, const QRectF& rect, QObject* parent);
    void setRect(const QRectF& rect) { rect_ = rect; }

private:
    QRectF rect_;
};

// A rectangle's outline, lying wholly inside the rectangle.
class OutlineItem : public BoxItem {
    Q_OBJECT
public:
    OutlineItem(const QString& name, const QRectF& rect, const QColor& color, int width, QObject* parent);

    using BoxItem::setRect;
    QColor penColor() const { return penColor_; }
    int penWidth() const { return penWidth_; }

    void paint(QPainter& painter) const override;

private:
    QColor penColor_;
    int penWidth_;
};

// A packet: a filled rectangle with a black outline.
class PacketItem : public BoxItem {
    Q_OBJECT
public:
    PacketItem(const QString& name, const QSizeF& size, int outlineWidth, QObject* parent);

    using BoxItem::setRect;
    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color) { fillColor_ = color; }
    int penWidth() const { return penWidth_; }

    void paint(QPainter& painter) const override;

private:
    QColor fillColor_;
    int penWidth_;
};

// One line of black text on the window's grey, in a fixed place, font and
// alignment within the label's width.
class LabelItem : public BoxItem {
    Q_OBJECT
public:
    LabelItem(const QString& name, const QRect& rect, const QFont& font, Qt::Alignment alignment,
              const QString& caption, QObject* parent);

    QString caption() const { return caption_; }
    // Sets the caption from UTF-8 text, reusing the caption's own storage when
    // the text is plain ASCII. Returns whether the caption changed.
    bool assignCaption(std::string_view text);
    QFont font() const { return font_; }
    Qt::Alignment alignment() const { return alignment_; }

    // A label is opaque: the window's grey behind its text hides whatever it
    // lies over.
    void paint(QPainter& painter) const override;

private:
    // Lays out and draws the text into the cached picture.
    void renderImage() const;

    QString caption_;
    QFont font_;
    Qt::Alignment alignment_;
    // Built once rather than on every paint.
    QPen textPen_;
    // The label's picture, text on grey, drawn again only when its caption
    // changes: laying out text on every repaint of the area a packet passes
    // over would cost more than the rest of a tick.
    mutable QImage image_;
    mutable bool imageValid_ = false;
};

}  // namespace waitline
