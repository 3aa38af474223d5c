#include "ui/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace waitline {

QColor LightGrey() { return {192, 192, 192}; }

namespace {

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0x80U) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SameText(const QString& shown, std::string_view text)
{
    if (!IsAscii(text)) {
        return shown == QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (shown.size() != static_cast<qsizetype>(text.size())) {
        return false;
    }
    const QChar* chars = shown.constData();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (chars[i].unicode() != static_cast<char16_t>(text[i])) {
            return false;
        }
    }
    return true;
}

DrawnItem::DrawnItem(Kind kind, const QString& name, QObject* parent) : QObject(parent), kind_(kind)
{
    setObjectName(name);
    setPen(penColor_, penWidth_);
}

void DrawnItem::setPen(const QColor& color, int width)
{
    lineImageValid_ = false;
    penColor_ = color;
    penWidth_ = width;
    linePen_ = QPen(color, width);
    // Wide lines end in round caps; a 1-px line is a plain run of pixels.
    linePen_.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
    textPen_ = QPen(color);
}

bool DrawnItem::assignCaption(std::string_view text)
{
    if (SameText(caption_, text)) {
        return false;
    }
    if (!IsAscii(text)) {
        caption_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        labelImageValid_ = false;
        return true;
    }
    const auto length = static_cast<qsizetype>(text.size());
    if (caption_.capacity() < length) {
        // Room for any counter or statistic, so that later captions fit.
        caption_.reserve(std::max<qsizetype>(length, 32));
    }
    labelImageValid_ = false;
    caption_.resize(length);
    QChar* chars = caption_.data();
    for (qsizetype i = 0; i < length; ++i) {
        chars[i] = QChar(static_cast<char16_t>(text[static_cast<std::size_t>(i)]));
    }
    return true;
}

QRect DrawnItem::paintedBounds() const
{
    if (kind_ != Kind::Line) {
        // Packets, outlines and labels paint inside their rounded rectangle
        // (a label clips its text to it).
        return pixelRect();
    }
    // A wide line's round caps reach half its width beyond the end points;
    // a pixel more on each side covers the rasteriser's rounding.
    const int margin = penWidth_ / 2 + 2;
    return QRectF(line_.p1(), line_.p2()).normalized().toAlignedRect().adjusted(-margin, -margin, margin, margin);
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
    case Kind::Line:
        if (penWidth_ <= 1) {
            painter.setPen(linePen_);
            painter.drawLine(line_);
            break;
        }
        if (!lineImageValid_) {
            renderLineImage();
        }
        painter.drawImage(paintedBounds().topLeft(), lineImage_);
        break;
    case Kind::Outline: PaintOutline(painter, pixelRect(), penWidth_, penColor_); break;
    case Kind::Packet: {
        const QRect r = pixelRect();
        painter.fillRect(r, fillColor_);
        PaintOutline(painter, r, penWidth_, penColor_);
        break;
    }
    case Kind::Label: {
        // A label is opaque: the window's grey behind black text, clipped to
        // the label, so whatever it lies over is hidden by the whole label.
        if (!labelImageValid_) {
            renderLabelImage();
        }
        painter.drawImage(pixelRect().topLeft(), labelImage_);
        break;
    }
    }
}

void DrawnItem::renderLineImage() const
{
    const QRect bounds = paintedBounds();
    if (lineImage_.size() != bounds.size()) {
        lineImage_ = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    }
    lineImage_.fill(Qt::transparent);
    QPainter painter(&lineImage_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-bounds.topLeft());
    painter.setPen(linePen_);
    painter.drawLine(line_);
    lineImageValid_ = true;
}

void DrawnItem::renderLabelImage() const
{
    const QRect r = pixelRect();
    if (labelImage_.size() != r.size()) {
        labelImage_ = QImage(r.size(), QImage::Format_RGB32);
    }
    labelImage_.fill(LightGrey());
    QPainter painter(&labelImage_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font_);
    painter.setPen(textPen_);
    painter.drawText(QRect(QPoint(0, 0), r.size()), static_cast<int>(alignment_ | Qt::AlignTop) | Qt::TextSingleLine,
                     caption_);
    labelImageValid_ = true;
}

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::paintEvent(QPaintEvent* event)
{
    // A tick's region is a handful of small rectangles spread over the
    // window. Each is painted on its own with a plain rectangular clip, and
    // only the items that reach into it are drawn, so a partial update costs
    // what it covers.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRegion region = event->region() & rect();
    for (const QRect& area : region) {
        painter.setClipRect(area);
        painter.fillRect(area, LightGrey());
        for (const DrawnItem* item : items_) {
            if (item->isVisible() && item->paintedBounds().intersects(area)) {
                item->paint(painter);
            }
        }
    }
}

}  // namespace waitline
