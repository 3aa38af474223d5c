#include "picture/text_style.h"

namespace waitline {

std::string_view FamilyFor(LayoutFace face)
{
    switch (face) {
    case LayoutFace::Serif: return "Liberation Serif";
    case LayoutFace::SansSerif: break;
    }
    return "Liberation Sans";
}

}  // namespace waitline
