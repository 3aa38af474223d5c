#include "ui/analysis_window/what_if_plot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace waitline {

namespace {

constexpr double kClickRadius = 8.0;
constexpr int kTicks = 6;
const QColor kPointColour(30, 90, 160);
const QColor kTheoryColour(200, 60, 40);
const QColor kMarkerColour(60, 150, 60);

// A round step for about `count` ticks over the span: 1, 2 or 5 times a power of ten.
double TickStep(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

}  // namespace

WhatIfPlot::WhatIfPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("whatIfPlot"));
    setMinimumSize(360, 240);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void WhatIfPlot::showSweep(QString xTitle, QString yTitle, std::vector<Point> points,
                           std::vector<batch::CurvePoint> curve, std::optional<double> marker)
{
    xTitle_ = std::move(xTitle);
    yTitle_ = std::move(yTitle);
    points_ = std::move(points);
    curve_ = std::move(curve);
    marker_ = marker;
    // The spans hold every point, bar, curve value and the marker, from 0 up.
    xSpan_ = {std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    ySpan_ = {0.0, 0.0};
    auto holdX = [&](double x) { xSpan_ = {std::min(xSpan_.low, x), std::max(xSpan_.high, x)}; };
    auto holdY = [&](double y) { ySpan_.high = std::max(ySpan_.high, y); };
    for (const Point& p : points_) {
        holdX(p.x);
        holdY(p.high.value_or(p.y));
    }
    for (const batch::CurvePoint& c : curve_) {
        holdX(c.x);
        holdY(c.y);
    }
    if (marker_) {
        holdX(*marker_);
    }
    if (!(xSpan_.low < xSpan_.high)) {
        const double middle = xSpan_.low <= xSpan_.high ? xSpan_.low : 0.0;
        xSpan_ = {middle - 1.0, middle + 1.0};
    }
    ySpan_.high = ySpan_.high > 0.0 ? ySpan_.high * 1.08 : 1.0;
    update();
}

QRectF WhatIfPlot::plotArea() const { return QRectF(rect()).adjusted(64, 16, -16, -48); }

QPointF WhatIfPlot::placeOf(double x, double y) const
{
    const QRectF area = plotArea();
    return {area.left() + (x - xSpan_.low) / (xSpan_.high - xSpan_.low) * area.width(),
            area.bottom() - (y - ySpan_.low) / (ySpan_.high - ySpan_.low) * area.height()};
}

void WhatIfPlot::paintAxes(QPainter& painter, const QRectF& area) const
{
    painter.setPen(QColor(120, 120, 120));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.topLeft());
    const QFontMetrics metrics(font());
    const double xStep = TickStep(xSpan_.high - xSpan_.low, kTicks);
    for (double x = std::ceil(xSpan_.low / xStep) * xStep; x <= xSpan_.high + 1e-9; x += xStep) {
        const QPointF at = placeOf(x, ySpan_.low);
        painter.drawLine(at, at + QPointF(0, 4));
        const QString text = QString::number(x, 'g', 4);
        painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(text) / 2.0, at.y() + 6 + metrics.ascent()), text);
    }
    const double yStep = TickStep(ySpan_.high - ySpan_.low, kTicks);
    for (double y = 0.0; y <= ySpan_.high + 1e-12; y += yStep) {
        const QPointF at = placeOf(xSpan_.low, y);
        painter.drawLine(at, at - QPointF(4, 0));
        const QString text = QString::number(y, 'g', 3);
        painter.drawText(QPointF(at.x() - 8 - metrics.horizontalAdvance(text), at.y() + metrics.ascent() / 2.0), text);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.bottom() + 22, area.width(), metrics.height()), Qt::AlignHCenter,
                     xTitle_);
    painter.save();
    painter.translate(14, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, -metrics.ascent(), area.height(), metrics.height()), Qt::AlignHCenter,
                     yTitle_);
    painter.restore();
}

void WhatIfPlot::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = plotArea();
    if (points_.empty() && curve_.empty()) {
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Pick a setting and its range, then Run: the simulated points appear here beside the "
                            "textbook curve."));
        return;
    }
    paintAxes(painter, area);
    painter.setClipRect(area.adjusted(-6, -6, 6, 6));
    if (marker_) {
        painter.setPen(QPen(kMarkerColour, 1.5, Qt::DashLine));
        const double x = placeOf(*marker_, 0.0).x();
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    if (curve_.size() > 1) {
        QPainterPath path(placeOf(curve_.front().x, curve_.front().y));
        for (const batch::CurvePoint& c : curve_) {
            path.lineTo(placeOf(c.x, c.y));
        }
        painter.setPen(QPen(kTheoryColour, 2.0));
        painter.drawPath(path);
    } else if (curve_.size() == 1) {
        painter.setPen(QPen(kTheoryColour, 2.0));
        painter.drawEllipse(placeOf(curve_.front().x, curve_.front().y), 2.0, 2.0);
    }
    painter.setPen(QPen(kPointColour, 1.5));
    painter.setBrush(kPointColour);
    for (const Point& p : points_) {
        const QPointF at = placeOf(p.x, p.y);
        if (p.low && p.high) {
            const QPointF low = placeOf(p.x, *p.low);
            const QPointF high = placeOf(p.x, *p.high);
            painter.drawLine(low, high);
            painter.drawLine(low - QPointF(4, 0), low + QPointF(4, 0));
            painter.drawLine(high - QPointF(4, 0), high + QPointF(4, 0));
        }
        painter.drawEllipse(at, 3.5, 3.5);
    }
    // The legend, in the top right corner.
    painter.setClipping(false);
    const QFontMetrics metrics(font());
    const QStringList names{tr("simulated, with 95 % interval"), tr("textbook"), tr("main window's setting")};
    const QList<QColor> colours{kPointColour, kTheoryColour, kMarkerColour};
    double y = area.top() + 4;
    for (int k = 0; k < names.size(); ++k) {
        const double x = area.right() - 8 - metrics.horizontalAdvance(names[k]);
        painter.setPen(QPen(colours[k], 2.0, k == 2 ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(QPointF(x - 26, y + metrics.ascent() / 2.0), QPointF(x - 6, y + metrics.ascent() / 2.0));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, y + metrics.ascent()), names[k]);
        y += metrics.height() + 2;
    }
}

void WhatIfPlot::mousePressEvent(QMouseEvent* event)
{
    int nearest = -1;
    double best = kClickRadius;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const QPointF d = placeOf(points_[i].x, points_[i].y) - event->position();
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    if (nearest >= 0) {
        Q_EMIT pointClicked(nearest);
    }
    QWidget::mousePressEvent(event);
}

}  // namespace waitline
