#pragma once

#include <optional>
#include <string>

// A window program without a display says so in one line and ends with
// status 1, rather than with Qt's several lines and an abort.
namespace waitline {

// The line to print when no display is named at all for the platform Qt
// would use, or nothing.
std::optional<std::string> MissingDisplay();

// While the application starts, Qt's messages are held back. If the platform
// cannot start (the display named cannot be reached, or refuses us), the user
// gets one line naming the display and status 1. Once the application has
// started, passed() lets the held messages through as usual.
class DisplayCheck {
public:
    DisplayCheck();
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    void passed();
};

// The one line for a display that could not be reached, from the
// environment the platform reads it from.
std::string UnreachableDisplayLine();

}  // namespace waitline
