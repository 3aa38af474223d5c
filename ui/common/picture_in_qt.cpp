#include "ui/common/picture_in_qt.h"

namespace waitline {

Qt::Alignment ToQt(picture::Align align)
{
    switch (align) {
    case picture::Align::Right: return Qt::AlignRight;
    case picture::Align::Centre: return Qt::AlignHCenter;
    case picture::Align::Left: break;
    }
    return Qt::AlignLeft;
}

QFont LayoutFont(const TextStyle& style)
{
    const std::string_view family = FamilyFor(style.face);
    QFont font(QString::fromLatin1(family.data(), static_cast<qsizetype>(family.size())));
    font.setPixelSize(style.pixelSize);
    font.setWeight(style.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setKerning(false);
    return font;
}

}  // namespace waitline
