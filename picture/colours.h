#pragma once

#include "picture/shapes.h"

// The window's four colours.
namespace waitline {

// The window's background, which also lies behind every label's text.
inline constexpr picture::Rgb kLightGrey{192, 192, 192};
inline constexpr picture::Rgb kBlack{0, 0, 0};
// The outline around the queue column.
inline constexpr picture::Rgb kBlue{0, 0, 255};
// The source funnel and the lost bin.
inline constexpr picture::Rgb kPurple{128, 0, 128};

}  // namespace waitline
