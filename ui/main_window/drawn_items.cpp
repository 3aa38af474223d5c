#include "ui/main_window/drawn_items.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "picture/colours.h"
#include "ui/common/picture_in_qt.h"
#include "ui/common/text.h"

namespace waitline {

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

DrawnItem::DrawnItem(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

// --- Lines -------------------------------------------------------------------

LineItem::LineItem(const QString& name, const QLineF& line, const QColor& color, int width, QObject* parent)
    : DrawnItem(name, parent), line_(line), width_(width), pen_(color, width)
{
    // Wide lines end in round caps; a 1-px line is a plain run of pixels.
    pen_.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
}

QRect LineItem::paintedBounds() const
{
    // A pixel more on each side covers the rasteriser's rounding.
    const int margin = width_ / 2 + 2;
    return QRectF(line_.p1(), line_.p2()).normalized().toAlignedRect().adjusted(-margin, -margin, margin, margin);
}

void LineItem::paint(QPainter& painter) const
{
    if (width_ <= 1) {
        painter.setPen(pen_);
        painter.drawLine(line_);
        return;
    }
    if (!imageValid_) {
        renderImage();
    }
    painter.drawImage(paintedBounds().topLeft(), image_);
}

void LineItem::renderImage() const
{
    const QRect bounds = paintedBounds();
    if (image_.size() != bounds.size()) {
        image_ = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    }
    image_.fill(Qt::transparent);
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-bounds.topLeft());
    painter.setPen(pen_);
    painter.drawLine(line_);
    imageValid_ = true;
}

// --- Boxes -------------------------------------------------------------------

BoxItem::BoxItem(const QString& name, const QRectF& rect, QObject* parent) : DrawnItem(name, parent), rect_(rect) {}

QRect BoxItem::pixelRect() const
{
    // Halves round to the even neighbour, like every other rounding of the model.
    const auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
    return {round(rect_.left()), round(rect_.top()), round(rect_.width()), round(rect_.height())};
}

OutlineItem::OutlineItem(const QString& name, const QRectF& rect, const QColor& color, int width, QObject* parent)
    : BoxItem(name, rect, parent), penColor_(color), penWidth_(width)
{
}

void OutlineItem::paint(QPainter& painter) const { PaintOutline(painter, pixelRect(), penWidth_, penColor_); }

PacketItem::PacketItem(const QString& name, const QSizeF& size, int outlineWidth, QObject* parent)
    : BoxItem(name, QRectF(QPointF(0, 0), size), parent), fillColor_(ToQt(kBlack)), penWidth_(outlineWidth)
{
}

void PacketItem::paint(QPainter& painter) const
{
    const QRect r = pixelRect();
    painter.fillRect(r, fillColor_);
    PaintOutline(painter, r, penWidth_, ToQt(kBlack));
}

// --- Labels ------------------------------------------------------------------

LabelItem::LabelItem(const QString& name, const QRect& rect, const QFont& font, Qt::Alignment alignment,
                     const QString& caption, QObject* parent)
    : BoxItem(name, rect, parent), caption_(caption), font_(font), alignment_(alignment), textPen_(ToQt(kBlack))
{
}

bool LabelItem::assignCaption(std::string_view text)
{
    if (SameText(caption_, text)) {
        return false;
    }
    imageValid_ = false;
    if (!IsAscii(text)) {
        caption_ = ToQString(text);
        return true;
    }
    const auto length = static_cast<qsizetype>(text.size());
    if (caption_.capacity() < length) {
        // Room for any counter or statistic, so that later captions fit.
        caption_.reserve(std::max<qsizetype>(length, 32));
    }
    caption_.resize(length);
    QChar* chars = caption_.data();
    for (qsizetype i = 0; i < length; ++i) {
        chars[i] = QChar(static_cast<char16_t>(text[static_cast<std::size_t>(i)]));
    }
    return true;
}

void LabelItem::paint(QPainter& painter) const
{
    if (!imageValid_) {
        renderImage();
    }
    painter.drawImage(pixelRect().topLeft(), image_);
}

void LabelItem::renderImage() const
{
    const QRect r = pixelRect();
    if (image_.size() != r.size()) {
        image_ = QImage(r.size(), QImage::Format_RGB32);
    }
    image_.fill(ToQt(kLightGrey));
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font_);
    painter.setPen(textPen_);
    painter.drawText(QRect(QPoint(0, 0), r.size()), static_cast<int>(alignment_ | Qt::AlignTop) | Qt::TextSingleLine,
                     caption_);
    imageValid_ = true;
}

}  // namespace waitline
