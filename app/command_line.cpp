#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>

#include <cmath>
#include <string>

#include "tools/terminal_text.h"

namespace waitline {

namespace {

// The reason may hold what the user typed, escape codes or a newline
// included; the one line printed shows them as text.
CommandLine Failure(const QString& why)
{
    const std::string line = Printable(QStringLiteral("waitline: %1").arg(why).toStdString());
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
        QStringLiteral("Scale the whole window by FACTOR, from 1 to 4, on top of the screen's own scale: for "
                       "projectors and high-density screens."),
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
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("waitline"));
        return {CommandLine::Action::Help, std::nullopt, text.trimmed()};
    }
    if (parser.isSet(version)) {
        return {CommandLine::Action::Version, std::nullopt, QStringLiteral("waitline " WAITLINE_VERSION)};
    }
    CommandLine line;
    if (parser.isSet(zoom)) {
        // The C locale's decimal point, whatever the user's language: "1.5".
        bool number = false;
        const QString text = parser.value(zoom);
        const double factor = QLocale::c().toDouble(text.trimmed(), &number);
        if (!number || !std::isfinite(factor) || factor < kMinZoom || factor > kMaxZoom) {
            return Failure(QStringLiteral("--zoom takes a factor from 1 to 4, not '%1'").arg(text));
        }
        line.zoom = factor;
    }
    return line;
}

}  // namespace waitline
