#include "ui/main_window/focus_ring_style.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace waitline {
namespace {

void DrawFocusRing(const QStyleOption* option, QPainter* painter)
{
    if (!option->state.testFlag(QStyle::State_HasFocus)) {
        return;
    }
    const QRect r = option->rect;
    const int w = kFocusRingWidth;
    painter->save();
    painter->fillRect(QRect(r.left(), r.top(), r.width(), w), kFocusRing);
    painter->fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), kFocusRing);
    painter->fillRect(QRect(r.left(), r.top(), w, r.height()), kFocusRing);
    painter->fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), kFocusRing);
    painter->restore();
}

}  // namespace

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton) {
        DrawFocusRing(option, painter);
    }
}

void FocusRingStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox) {
        DrawFocusRing(option, painter);
    }
}

FocusRingStyle* SharedFocusRingStyle()
{
    static QPointer<FocusRingStyle> style;
    if (style.isNull()) {
        style = new FocusRingStyle();
        style->setParent(qApp);
    }
    return style.data();
}

}  // namespace waitline
