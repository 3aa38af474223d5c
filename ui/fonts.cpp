#include "ui/fonts.h"

namespace waitline {

QString FamilyFor(LayoutFace face)
{
    switch (face) {
    case LayoutFace::Serif: return QStringLiteral("Liberation Serif");
    case LayoutFace::SansSerif: break;
    }
    return QStringLiteral("Liberation Sans");
}

QFont LayoutFont(const TextStyle& style)
{
    QFont font(FamilyFor(style.face));
    font.setPixelSize(style.pixelSize);
    font.setWeight(style.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setKerning(false);
    return font;
}

}  // namespace waitline
