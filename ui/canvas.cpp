#include "canvas.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace waitline {

QColor LightGrey() { return {192, 192, 192}; }

DrawnItem::DrawnItem(Kind kind, const QString& name, QObject* parent) : QObject(parent), kind_(kind)
{
    setObjectName(name);
}

QRect DrawnItem::pixelRect() const
{
    // Halves round to the even neighbour, like every other rounding of the model.
    const auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
    return {round(rect_.left()), round(rect_.top()), round(rect_.width()), round(rect_.height())};
}

namespace {

// An outline of the given width lies wholly inside the rectangle.
void PaintOutline(QPainter& painter, const QRect& r, int width, const QColor& color)
{
    const int w = std::min({width, r.width(), r.height()});
    if (w <= 0) {
        return;
    }
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.top(), w, r.height()), color);
    painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), color);
}

}  // namespace

void DrawnItem::paint(QPainter& painter) const
{
    if (!visible_) {
        return;
    }
    switch (kind_) {
    case Kind::Line: {
        QPen pen(penColor_, penWidth_);
        // Wide lines end in round caps; a 1-px line is a plain run of pixels.
        pen.setCapStyle(penWidth_ > 1 ? Qt::RoundCap : Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(line_);
        break;
    }
    case Kind::Outline:
        PaintOutline(painter, pixelRect(), penWidth_, penColor_);
        break;
    case Kind::Packet: {
        const QRect r = pixelRect();
        painter.fillRect(r, fillColor_);
        PaintOutline(painter, r, penWidth_, penColor_);
        break;
    }
    case Kind::Label: {
        // A label is opaque: the window's grey behind black text, clipped to
        // the label, so whatever it lies over is hidden by the whole label.
        const QRect r = pixelRect();
        painter.save();
        painter.setClipRect(r);
        painter.fillRect(r, LightGrey());
        painter.setFont(font_);
        painter.setPen(penColor_);
        painter.drawText(r, static_cast<int>(alignment_ | Qt::AlignTop) | Qt::TextSingleLine, caption_);
        painter.restore();
        break;
    }
    }
}

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(rect(), LightGrey());
    for (const DrawnItem* item : items_) {
        item->paint(painter);
    }
}

}  // namespace waitline
