#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/terminal_text.h"

namespace waitline {

namespace {

// The reason may hold what the user typed, escape codes or a newline
// included; the one line printed shows them as text.
CommandLine Failure(const QString& why)
{
    const std::string line = Printable(QStringLiteral(WAITLINE_COMMAND ": %1").arg(why).toStdString());
    return {CommandLine::Action::Error, std::nullopt, QString::fromStdString(line)};
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows a queue at work: packets arrive, wait in a queue, are served or turned away."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    const QCommandLineOption zoom(
        QStringLiteral("zoom"),
        QStringLiteral("Scale the whole window by FACTOR, from 1 to 4 (1.5 and 1.75 too), on top of the screen's own "
                       "scale: for projectors and high-density screens. 'fit' picks the largest factor at which the "
                       "window fits the screen."),
        QStringLiteral("FACTOR"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(zoom);

    if (!parser.parse(arguments)) {
        return Failure(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Failure(
            QStringLiteral("unexpected argument '%1'; see --help").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral(WAITLINE_COMMAND));
        return {CommandLine::Action::Help, std::nullopt, text.trimmed()};
    }
    if (parser.isSet(version)) {
        return {CommandLine::Action::Version, std::nullopt, QStringLiteral(WAITLINE_COMMAND " " WAITLINE_VERSION)};
    }
    CommandLine line;
    if (parser.isSet(zoom)) {
        const QString text = parser.value(zoom);
        if (text.trimmed() == QLatin1String("fit")) {
            line.zoomToFit = true;
            return line;
        }
        // The C locale's decimal point, whatever the user's language: "1.5".
        bool number = false;
        const double factor = QLocale::c().toDouble(text.trimmed(), &number);
        if (!number || !std::isfinite(factor) || factor < kMinZoom || factor > kMaxZoom) {
            return Failure(QStringLiteral("--zoom takes a factor from 1 to 4 or 'fit', not '%1'").arg(text));
        }
        line.zoom = factor;
    }
    return line;
}

double ZoomToFit(const QSize& window, const QSize& available)
{
    // Room for a title bar and borders, which the desktop adds outside the
    // window and does not scale with it.
    constexpr int kFrameWidth = 8;
    constexpr int kFrameHeight = 40;
    if (window.isEmpty()) {
        return kMinZoom;
    }
    const double across = static_cast<double>(available.width() - kFrameWidth) / window.width();
    const double down = static_cast<double>(available.height() - kFrameHeight) / window.height();
    const double fits = std::floor(std::min(across, down) * 20.0) / 20.0;
    return std::clamp(fits, kMinZoom, kMaxZoom);
}

}  // namespace waitline
