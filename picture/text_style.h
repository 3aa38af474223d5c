#pragma once

#include <string_view>

namespace waitline {

// The two faces the layout was drawn with. Neither exists on a Linux desktop,
// so each is mapped to a metric-compatible free face of the same family.
enum class LayoutFace { SansSerif, Serif };

// A face at a size in pixels (the layout's sizes are 16, 22, 26 and 31 px),
// weight 700 when bold and 400 otherwise, upright, without kerning.
struct TextStyle {
    LayoutFace face;
    int pixelSize;
    bool bold;
};

// The family name used for a face: "Liberation Sans" stands in for
// "MS Sans Serif", "Liberation Serif" for "Times New Roman".
std::string_view FamilyFor(LayoutFace face);

}  // namespace waitline
