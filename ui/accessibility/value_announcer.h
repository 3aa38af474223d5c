#pragma once

#include <QAccessible>
#include <QString>

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "picture/explanations.h"

namespace waitline {

class Canvas;
class LabelItem;

// What an announcer reads the time from, asks whether anyone listens and
// sends its events to: the steady clock and QAccessible unless replaced. Only
// the platform's bridge can make QAccessible::isActive() true, and while it is
// false QAccessible::updateAccessibility drops every event, so an off-screen
// test replaces all three.
struct AnnouncementHooks {
    std::function<std::chrono::steady_clock::time_point()> now = &std::chrono::steady_clock::now;
    bool (*listening)() = &QAccessible::isActive;
    void (*send)(QAccessibleEvent* event) = &QAccessible::updateAccessibility;
};

// Tells screen readers which counts and statistics on the picture changed, at
// most once a second: the window shows the model again on every 10 ms tick,
// and a reader told of every change would speak of nothing else. While no
// assistive technology listens it returns at once.
class ValueAnnouncer {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the value labels `canvas` shows, as they are now.
    explicit ValueAnnouncer(const Canvas& canvas, AnnouncementHooks hooks = {});

    void setHooks(AnnouncementHooks hooks) { hooks_ = std::move(hooks); }

    // Call each time the picture has shown the model again: when a second has
    // passed since the last announcement, announces each value label whose
    // text changed since it was last announced.
    void shown();

private:
    void announce();

    std::array<LabelItem*, CountExplained(Explained::Value)> labels_{};
    // Copies of their own: the tick rewrites a label's caption in place.
    std::array<QString, CountExplained(Explained::Value)> announced_{};
    AnnouncementHooks hooks_;
    std::optional<Clock::time_point> last_;
};

}  // namespace waitline
