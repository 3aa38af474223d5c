#include "app/display_check.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <vector>

#include "tools/terminal_text.h"

namespace waitline {

namespace {

std::string_view Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// The X11 platform is Qt's choice when none is named.
bool UsesX11()
{
    const std::string_view platform = Environment("QT_QPA_PLATFORM");
    return platform.empty() || platform == "xcb";
}

struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

QtMessageHandler gPrevious = nullptr;
bool gHolding = false;
// Qt may speak from its own threads while the application starts.
std::mutex gHeldMutex;

std::vector<HeldMessage>& Held()
{
    static std::vector<HeldMessage> held;
    return held;
}

// A developer's setting that makes Qt end the program after a warning, or a
// critical message, right after printing it: such a message is printed at
// once rather than held.
bool EndsTheProgram(QtMsgType type)
{
    return (type == QtWarningMsg && !Environment("QT_FATAL_WARNINGS").empty()) ||
           (type == QtCriticalMsg && !Environment("QT_FATAL_CRITICALS").empty());
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt would abort after its own lines; end here with ours.
        std::fputs(UnreachableDisplayLine().c_str(), stderr);
        std::_Exit(1);
    }
    if (EndsTheProgram(type)) {
        gPrevious(type, context, text);
        return;
    }
    const std::lock_guard lock(gHeldMutex);
    Held().push_back({type, context.file, context.function, context.category, context.line, text});
}

}  // namespace

std::optional<std::string> MissingDisplay()
{
    if (UsesX11() && Environment("DISPLAY").empty() && Environment("WAYLAND_DISPLAY").empty()) {
        return WAITLINE_COMMAND ": no display found; set DISPLAY or run under a desktop session\n";
    }
    return std::nullopt;
}

std::string UnreachableDisplayLine()
{
    const std::string_view platform = Environment("QT_QPA_PLATFORM");
    std::string display;
    if (UsesX11()) {
        display = "the display " + Quoted(Environment("DISPLAY"));
    } else if (platform.starts_with("wayland")) {
        display = "the Wayland display " + Quoted(Environment("WAYLAND_DISPLAY"));
    } else {
        display = "a display through the platform " + Quoted(platform);
    }
    return WAITLINE_COMMAND ": cannot connect to " + display + "\n";
}

DisplayCheck::DisplayCheck()
{
    gHolding = true;
    gPrevious = qInstallMessageHandler(Hold);
}

DisplayCheck::~DisplayCheck() { passed(); }

void DisplayCheck::passed()
{
    if (!gHolding) {
        return;
    }
    gHolding = false;
    qInstallMessageHandler(gPrevious);
    const std::lock_guard lock(gHeldMutex);
    for (const HeldMessage& m : Held()) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(), m.category.constData());
        gPrevious(m.type, context, m.text);
    }
    Held().clear();
}

}  // namespace waitline
