#pragma once

#include <cstdint>

// The plain shapes the picture is described in: whole pixels for places,
// fractions where a line or an outline is drawn, colours as red, green and
// blue. Each front-end turns them into its own types in one place.
namespace waitline::picture {

struct Size {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct RectF {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    friend constexpr bool operator==(const RectF&, const RectF&) = default;
};

struct Line {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    constexpr Line translated(double dx, double dy) const { return {x1 + dx, y1 + dy, x2 + dx, y2 + dy}; }
    friend constexpr bool operator==(const Line&, const Line&) = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// Where a label's text lies across its box; every label's text sits at the
// top of its box.
enum class Align : std::uint8_t { Left, Right, Centre };

}  // namespace waitline::picture
