// The program: one main window, started up before it is first shown. The
// command line is read first, so that help, the version and a bad option
// need no display.
#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/display_check.h"
#include "tools/terminal_text.h"
#include "ui/main_window.h"
#include "ui/program_identity.h"
#include "ui/window_layout.h"

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
    std::fputs("waitline: cannot write to standard output\n", stderr);
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
    std::optional<double> zoom = line.zoom;
    if (line.zoomToFit) {
        // The screen is measured by an application of its own, gone before
        // the window's starts at the zoom found.
        QGuiApplication probe(argc, argv);
        zoom = waitline::ZoomToFit(waitline::layout::kClientSize,
                                   QGuiApplication::primaryScreen()->availableGeometry().size());
    }
    if (zoom) {
        // Qt scales every widget, font and line by this factor, on top of
        // the screen's own, and draws them at the new size.
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*zoom));
    }
    QApplication app(argc, argv);
    check.passed();
    waitline::IdentifyProgram();
    waitline::MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
