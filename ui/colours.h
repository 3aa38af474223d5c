#pragma once

#include <QColor>

// The window's four colours.
namespace waitline {

// The window's background, which also lies behind every label's text.
inline constexpr QColor kLightGrey{192, 192, 192};
inline constexpr QColor kBlack{0, 0, 0};
// The outline around the queue column.
inline constexpr QColor kBlue{0, 0, 255};
// The source funnel and the lost bin.
inline constexpr QColor kPurple{128, 0, 128};

}  // namespace waitline
