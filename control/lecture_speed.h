#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/translatable.h"

namespace waitline {

// How fast the demo runs against the wall clock during a lecture: slowed down
// to follow one packet down the column, or sped up so that a slow queue
// settles while the class watches. A tick always advances simulated time by
// the move timer's interval and does the same work; only the wall time
// between ticks changes.
enum class LectureSpeed : std::uint8_t { Quarter, Half, RealTime, Double, Quadruple };

// From the slowest to the fastest.
constexpr std::array<LectureSpeed, 5> kLectureSpeeds{LectureSpeed::Quarter, LectureSpeed::Half, LectureSpeed::RealTime,
                                                     LectureSpeed::Double, LectureSpeed::Quadruple};

// How the window's move timer delivers the ticks at one speed.
struct TickPacing {
    std::int32_t timerInterval = 0;  // wall milliseconds between the timer's events
    int ticksPerEvent = 1;
};

// Slower speeds stretch the timer's interval. Faster ones keep the interval
// and run several ticks in one event: a 2.5 ms timer is not kept by the event
// loop, and one repaint per event keeps the drawing's cost that of real time.
constexpr TickPacing Pacing(LectureSpeed speed, std::int32_t modelInterval)
{
    switch (speed) {
    case LectureSpeed::Quarter: return {4 * modelInterval, 1};
    case LectureSpeed::Half: return {2 * modelInterval, 1};
    case LectureSpeed::RealTime: break;
    case LectureSpeed::Double: return {modelInterval, 2};
    case LectureSpeed::Quadruple: return {modelInterval, 4};
    }
    return {modelInterval, 1};
}

constexpr std::size_t SpeedIndex(LectureSpeed speed) { return static_cast<std::size_t>(speed); }

// The next speed up or down; the fastest and the slowest stay where they are.
constexpr LectureSpeed Faster(LectureSpeed speed)
{
    const std::size_t i = SpeedIndex(speed);
    return i + 1 < kLectureSpeeds.size() ? kLectureSpeeds[i + 1] : speed;
}

constexpr LectureSpeed Slower(LectureSpeed speed)
{
    const std::size_t i = SpeedIndex(speed);
    return i > 0 ? kLectureSpeeds[i - 1] : speed;
}

// How the speed is written in menus and in the window's title, as UTF-8.
constexpr std::string_view SpeedName(LectureSpeed speed)
{
    constexpr std::array<std::string_view, kLectureSpeeds.size()> kNames{
        WAITLINE_TR("Actions", "\u00bc\u00d7"), WAITLINE_TR("Actions", "\u00bd\u00d7"),
        WAITLINE_TR("Actions", "1\u00d7"), WAITLINE_TR("Actions", "2\u00d7"), WAITLINE_TR("Actions", "4\u00d7")};
    return kNames[SpeedIndex(speed)];
}

}  // namespace waitline
