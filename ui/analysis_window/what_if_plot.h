#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "runs/what_if.h"

namespace waitline {

// One measure against the swept setting: the simulated points with their
// 95 % bars, the textbook curve, and a marker at the main window's setting.
// A click on a point says which; the plot itself changes nothing.
class WhatIfPlot : public QWidget {
    Q_OBJECT
public:
    struct Point {
        double x = 0.0;
        double y = 0.0;
        std::optional<double> low;  // the 95 % interval, when there is one
        std::optional<double> high;
    };

    explicit WhatIfPlot(QWidget* parent = nullptr);

    void showSweep(QString xTitle, QString yTitle, std::vector<Point> points, std::vector<batch::CurvePoint> curve,
                   std::optional<double> marker);

    const std::vector<Point>& points() const { return points_; }
    const std::vector<batch::CurvePoint>& curve() const { return curve_; }
    // Where a point is drawn, for a click to find it.
    QPointF placeOf(double x, double y) const;

    QSize sizeHint() const override { return {640, 380}; }

Q_SIGNALS:
    void pointClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Span {
        double low = 0.0;
        double high = 1.0;
    };
    QRectF plotArea() const;
    void paintAxes(QPainter& painter, const QRectF& area) const;

    QString xTitle_;
    QString yTitle_;
    std::vector<Point> points_;
    std::vector<batch::CurvePoint> curve_;
    std::optional<double> marker_;
    Span xSpan_;
    Span ySpan_;
};

}  // namespace waitline
