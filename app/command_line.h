#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace waitline {

// What the window program was asked to do on its command line. It is read
// before Qt makes anything, so that help, the version and a bad option need
// no display and never open a window.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // Scales the whole window, text and lines drawn crisply at the new size;
    // empty leaves the screen's own scale as it is.
    std::optional<double> zoom;
    QString text;  // the help text, or the one line that says what was wrong
    // --zoom fit: the largest zoom at which the window fits the screen.
    bool zoomToFit = false;
};

inline constexpr double kMinZoom = 1.0;
inline constexpr double kMaxZoom = 4.0;

// arguments[0] is the program's name, as in argv.
CommandLine ParseCommandLine(const QStringList& arguments);

// The largest zoom, in steps of 0.05 from 1 to 4, at which a window of
// `window` pixels and its frame fit an `available` area of the screen.
double ZoomToFit(const QSize& window, const QSize& available);

}  // namespace waitline
