// The program: one main window, started up before it is first shown. The
// command line is read first, so that help, the version and a bad option
// need no display.
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/display_check.h"
#include "picture/layout.h"
#include "tools/terminal_text.h"
#include "ui/common/picture_in_qt.h"
#include "ui/help_and_about/program_identity.h"
#include "ui/main_window/main_window.h"

namespace {

QStringList Arguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Help and the version go to standard output; a full disk there is a
// failure like any other, said on one line.
int Print(const QString& text)
{
    if (waitline::WriteWhole(stdout, (text + QLatin1Char('\n')).toStdString())) {
        return 0;
    }
    std::fputs(WAITLINE_COMMAND ": cannot write to standard output\n", stderr);
    return 1;
}

// Returns the exit status when the command line already says everything.
std::optional<int> Answer(const waitline::CommandLine& line)
{
    using Action = waitline::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
    case Action::Version: return Print(line.text);
    case Action::Error: std::fputs(qPrintable(line.text + QLatin1Char('\n')), stderr); return 2;
    case Action::Run: break;
    }
    return std::nullopt;
}

// Measures the screen, at no scale of Qt's own, and starts the program again
// with --zoom set to the largest factor that fits: Qt takes its scale once,
// when the application starts, and a process keeps some of what its first
// application set up.
int StartAgainAtZoomToFit(int argc, char* argv[])
{
    qunsetenv("QT_SCALE_FACTOR");
    double zoom = waitline::kMinZoom;
    {
        const QGuiApplication probe(argc, argv);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            zoom =
                waitline::ZoomToFit(waitline::ToQt(waitline::layout::kClientSize), screen->availableGeometry().size());
        }
    }
    std::string option = "--zoom";
    std::string factor = QByteArray::number(zoom).toStdString();
    std::vector<char*> arguments{argv[0], option.data(), factor.data(), nullptr};
    execv("/proc/self/exe", arguments.data());
    std::fprintf(stderr, WAITLINE_COMMAND ": cannot start again at zoom %s: %s\n", factor.c_str(),
                 std::strerror(errno));
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    const waitline::CommandLine line = waitline::ParseCommandLine(Arguments(argc, argv));
    if (const std::optional<int> status = Answer(line)) {
        return *status;
    }
    if (const std::optional<std::string> missing = waitline::MissingDisplay()) {
        std::fputs(missing->c_str(), stderr);
        return 1;
    }
    waitline::DisplayCheck check;
    if (line.zoomToFit) {
        return StartAgainAtZoomToFit(argc, argv);
    }
    if (line.zoom) {
        // Qt scales every widget, font and line by this factor, on top of
        // the screen's own, and draws them at the new size.
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*line.zoom));
    }
    QApplication app(argc, argv);
    check.passed();
    waitline::IdentifyProgram();
    waitline::MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
