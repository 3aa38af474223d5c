#include "ui/canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/colours.h"
#include "ui/drawn_items.h"

namespace waitline {

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
        painter.fillRect(area, kLightGrey);
        for (const DrawnItem* item : items_) {
            if (item->isVisible() && item->paintedBounds().intersects(area)) {
                item->paint(painter);
            }
        }
    }
}

}  // namespace waitline
