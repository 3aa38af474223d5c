#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QObject>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <string_view>
#include <vector>

class QPainter;

namespace waitline {

// One lightweight item of the window's picture: a line, a rectangle outline,
// a filled packet shape or a text label. Items are not widgets; the canvas
// paints them in its stacking order. Each carries its control name as
// objectName; members of a control array are named with their index appended
// ("boxQueue3", "sPacket17", "LineOut0") and also carry the index in the
// dynamic property "index".
class DrawnItem : public QObject {
    Q_OBJECT
public:
    enum class Kind { Line, Outline, Packet, Label };

    DrawnItem(Kind kind, const QString& name, QObject* parent);

    Kind kind() const { return kind_; }

    // Box-like items (outline, packet, label): position and size. A packet's
    // Left and Top keep the model's fractions; they are rounded only when painted.
    QRectF rect() const { return rect_; }
    void setRect(const QRectF& rect)
    {
        rect_ = rect;
        if (kind_ == Kind::Label) {
            labelImageValid_ = false;
        }
    }

    // Lines: the two end points.
    QLineF line() const { return line_; }
    void setLine(const QLineF& line)
    {
        line_ = line;
        lineImageValid_ = false;
    }

    // Outline or line colour and width in pixels.
    QColor penColor() const { return penColor_; }
    int penWidth() const { return penWidth_; }
    void setPen(const QColor& color, int width);

    // A packet's interior.
    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color) { fillColor_ = color; }

    // Labels: text, font and alignment within the label's width.
    QString caption() const { return caption_; }
    void setCaption(const QString& caption)
    {
        caption_ = caption;
        labelImageValid_ = false;
    }
    // Sets the caption from UTF-8 text, reusing the caption's own storage when
    // the text is plain ASCII. Returns whether the caption changed.
    bool assignCaption(std::string_view text);
    QFont font() const { return font_; }
    void setFont(const QFont& font)
    {
        font_ = font;
        labelImageValid_ = false;
    }
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment)
    {
        alignment_ = alignment;
        labelImageValid_ = false;
    }

    bool isVisible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

    // The pixel rectangle a packet or outline covers once rounded.
    QRect pixelRect() const;

    // Every pixel the item paints when visible lies in this rectangle.
    QRect paintedBounds() const;

    void paint(QPainter& painter) const;

private:
    // Lays out and draws a label's text into its cached picture.
    void renderLabelImage() const;
    // Strokes a wide line, round caps and all, into its cached picture.
    void renderLineImage() const;

    Kind kind_;
    QRectF rect_;
    QLineF line_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    // Built once per setPen rather than on every paint.
    QPen linePen_;
    QPen textPen_;
    QColor fillColor_{Qt::black};
    QString caption_;
    QFont font_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool visible_ = true;
    // A label's picture, text on grey, drawn again only when its caption,
    // font, alignment or size changes: laying out text on every repaint of
    // the area a packet passes over would cost more than the rest of a tick.
    mutable QImage labelImage_;
    mutable bool labelImageValid_ = false;
    // Likewise for a wide line: its round caps are curves that would be
    // flattened again on every repaint. Pixels are fully on or off, so the
    // transparent picture blends to exactly what stroking would paint.
    mutable QImage lineImage_;
    mutable bool lineImageValid_ = false;
};

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

QColor LightGrey();

// Whether shown holds the same text as the UTF-8 text. Allocates nothing when
// the text is plain ASCII.
bool SameText(const QString& shown, std::string_view text);

}  // namespace waitline
