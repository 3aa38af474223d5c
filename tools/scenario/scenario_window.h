#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "control/form.h"
#include "picture/layout.h"

namespace waitline::scenario {

// The main window as a script works it and as its dump reads it back: the
// real window off screen, or the controller shown through the picture
// description. Both must answer alike; the twin runs compare them.
class ScenarioWindow {
public:
    ScenarioWindow() = default;
    ScenarioWindow(const ScenarioWindow&) = delete;
    ScenarioWindow& operator=(const ScenarioWindow&) = delete;
    virtual ~ScenarioWindow() = default;

    // Start-up as the program runs it, with every message the window would
    // show in a box handed to showMessage instead.
    virtual void load(std::function<void(std::string_view)> showMessage) = 0;
    virtual Form& form() = 0;
    virtual const Form& form() const = 0;

    // The user's actions: false when the box refuses them.
    virtual bool typeText(ComboId id, std::string_view text) = 0;
    virtual bool chooseEntry(ComboId id, std::string_view entry) = 0;
    virtual void click(ButtonId id) = 0;
    // The two timers' events, each delivered only while its timer is enabled.
    virtual void deliverTimerMove() = 0;
    virtual void deliverTimerCheck() = 0;
    // Writes the window's picture as a PNG file; an error text when it cannot.
    virtual std::string snapshot(const std::string& file) = 0;

    // What the window shows.
    virtual std::string caption(ButtonId id) const = 0;
    virtual Label label(const layout::LabelRow& row) const = 0;
    virtual ComboBox combo(ComboId id) const = 0;
    virtual bool boxVisible(int place) const = 0;
    virtual bool serverLineVisible(int server, std::size_t line) const = 0;
    virtual std::array<double, 4> columnOutline() const = 0;  // left, top, width, height
    virtual std::array<double, 4> arrivalLine() const = 0;    // x1, y1, x2, y2
};

}  // namespace waitline::scenario
