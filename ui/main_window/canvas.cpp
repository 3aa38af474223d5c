#include "ui/main_window/canvas.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include "picture/colours.h"
#include "ui/accessibility/control_explanations.h"
#include "ui/common/picture_in_qt.h"
#include "ui/common/text.h"
#include "ui/main_window/drawn_items.h"

namespace waitline {

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

LabelItem* Canvas::labelAt(const QPoint& at) const
{
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        auto* label = qobject_cast<LabelItem*>(*item);
        if (label != nullptr && label->isVisible() && label->pixelRect().contains(at)) {
            return label;
        }
    }
    return nullptr;
}

bool Canvas::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const LabelItem* label = labelAt(help->pos());
    const Explanation* explanation = label != nullptr ? FindExplanation(label->objectName()) : nullptr;
    if (explanation == nullptr || explanation->help.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tooltip stays while the pointer stays on the label.
    QToolTip::showText(help->globalPos(), ToolTipText(HelpText(*explanation)), this, label->pixelRect());
    return true;
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
        painter.fillRect(area, ToQt(kLightGrey));
        for (const DrawnItem* item : items_) {
            if (item->isVisible() && item->paintedBounds().intersects(area)) {
                item->paint(painter);
            }
        }
    }
}

}  // namespace waitline
