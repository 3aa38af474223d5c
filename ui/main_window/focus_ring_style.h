#pragma once

#include <QColor>
#include <QProxyStyle>

namespace waitline {

// The ring a focused button or combo box wears: 2 px of dark blue just
// inside its edge, dark enough to see on the light grey window and on a
// projector, where the style's own faint frame is lost.
inline const QColor kFocusRing(0, 70, 160);
inline constexpr int kFocusRingWidth = 2;

// The application's style with a clear focus ring added. Nothing else is
// drawn differently, so an unfocused control looks exactly as before.
class FocusRingStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
};

// One style for all controls that want the ring; it lives as long as the
// application, so no widget can outlive it.
FocusRingStyle* SharedFocusRingStyle();

}  // namespace waitline
