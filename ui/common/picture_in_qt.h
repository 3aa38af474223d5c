#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include "picture/shapes.h"
#include "picture/text_style.h"

// The one place where the picture's plain data becomes Qt's types.
namespace waitline {

constexpr QSize ToQt(picture::Size size) { return {size.width, size.height}; }
constexpr QRect ToQt(picture::Rect rect) { return {rect.x, rect.y, rect.width, rect.height}; }
constexpr QRectF ToQt(picture::RectF rect) { return {rect.x, rect.y, rect.width, rect.height}; }
constexpr QLineF ToQt(picture::Line line) { return {line.x1, line.y1, line.x2, line.y2}; }
constexpr QColor ToQt(picture::Rgb colour) { return {colour.red, colour.green, colour.blue}; }
Qt::Alignment ToQt(picture::Align align);

QFont LayoutFont(const TextStyle& style);

}  // namespace waitline
