// The program: one main window, started up before it is first shown. The
// command line is read first, so that help, the version and a bad option
// need no display.
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "ui/main_window.h"
#include "ui/program_identity.h"

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display the X11 platform would abort; say so plainly instead.
bool DisplayAvailable()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool defaultPlatform = platform == nullptr || *platform == '\0' || std::string_view(platform) == "xcb";
    return !defaultPlatform || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

QStringList Arguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Returns the exit status when the command line already says everything.
std::optional<int> Answer(const waitline::CommandLine& line)
{
    using Action = waitline::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
    case Action::Version: std::fputs(qPrintable(line.text + QLatin1Char('\n')), stdout); return 0;
    case Action::Error: std::fputs(qPrintable(line.text + QLatin1Char('\n')), stderr); return 2;
    case Action::Run: break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[])
{
    const waitline::CommandLine line = waitline::ParseCommandLine(Arguments(argc, argv));
    if (const std::optional<int> status = Answer(line)) {
        return *status;
    }
    if (line.zoom) {
        // Qt scales every widget, font and line by this factor, on top of
        // the screen's own, and draws them at the new size.
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*line.zoom));
    }
    if (!DisplayAvailable()) {
        std::fputs("waitline: no display found; set DISPLAY or run under a desktop session\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    waitline::IdentifyProgram();
    waitline::MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
