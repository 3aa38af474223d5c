#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace waitline {
namespace {

struct LineCase {
    QStringList arguments;
    CommandLine::Action action;
    std::optional<double> zoom;
    const char* textHas;
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ReadsWhatTheUserAskedFor)
{
    QStringList arguments{QStringLiteral("waitline")};
    arguments << GetParam().arguments;
    const CommandLine line = ParseCommandLine(arguments);
    EXPECT_EQ(line.action, GetParam().action) << arguments.join(' ').toStdString();
    EXPECT_EQ(line.zoom, GetParam().zoom) << arguments.join(' ').toStdString();
    EXPECT_EQ(line.zoomToFit, arguments.contains(QStringLiteral("fit"))) << arguments.join(' ').toStdString();
    EXPECT_TRUE(line.text.contains(QString::fromUtf8(GetParam().textHas))) << line.text.toStdString();
    if (line.action == CommandLine::Action::Error) {
        EXPECT_FALSE(std::any_of(line.text.begin(), line.text.end(),
                                 [](QChar c) { return c.category() == QChar::Other_Control; }))
            << "one line, no control characters: " << line.text.toStdString();
    }
}

using A = CommandLine::Action;
INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(LineCase{{}, A::Run, std::nullopt, ""}, LineCase{{"--zoom", "2"}, A::Run, 2.0, ""},
                      LineCase{{"--zoom=1.5"}, A::Run, 1.5, ""}, LineCase{{"--zoom", "fit"}, A::Run, std::nullopt, ""},
                      LineCase{{"--zoom", "1.75"}, A::Run, 1.75, ""}, LineCase{{"--zoom", " 4 "}, A::Run, 4.0, ""},
                      LineCase{{"--zoom", "1"}, A::Run, 1.0, ""},
                      LineCase{{"--help"}, A::Help, std::nullopt, "Usage: waitline"},
                      LineCase{{"-h"}, A::Help, std::nullopt, "--zoom <FACTOR>"},
                      LineCase{{"--version"}, A::Version, std::nullopt, "waitline "},
                      LineCase{{"--zoom", "0.5"}, A::Error, std::nullopt, "--zoom takes a factor from 1 to 4"},
                      LineCase{{"--zoom", "4.01"}, A::Error, std::nullopt, "not '4.01'"},
                      LineCase{{"--zoom", "1,5"}, A::Error, std::nullopt, "not '1,5'"},
                      LineCase{{"--zoom", "nan"}, A::Error, std::nullopt, "--zoom takes"},
                      LineCase{{"--zoom", "inf"}, A::Error, std::nullopt, "--zoom takes"},
                      LineCase{{"--zoom"}, A::Error, std::nullopt, "Missing value after '--zoom'"},
                      LineCase{{"--bogus"}, A::Error, std::nullopt, "Unknown option 'bogus'"},
                      LineCase{{"now"}, A::Error, std::nullopt, "unexpected argument 'now'"},
                      // What the user typed is spelt out, never obeyed by the terminal.
                      LineCase{{"--zoom", "2\n\x1b[2J"}, A::Error, std::nullopt, "not '2\\n\\e[2J'"},
                      LineCase{{"--\x1b]0;x\x07"}, A::Error, std::nullopt, "'\\e]0;x\\x07'"}),
    [](const ::testing::TestParamInfo<LineCase>& line) {
        std::string name = line.param.arguments.isEmpty() ? "nothing" : line.param.arguments.join('_').toStdString();
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        return name + "_" + std::to_string(line.index);
    });

// The zoom that fills a screen with the window: on the projector's common
// 1920 x 1080 a little under 1.85, never below 1 or above 4, in steps of 0.05.
TEST(ZoomToFit, FillsTheScreenWithTheWindowAndItsFrame)
{
    const QSize window(792, 567);
    struct Case {
        QSize available;
        double zoom;
    };
    for (const Case& c : {Case{{1920, 1080}, 1.8}, Case{{1920, 1040}, 1.75}, Case{{3840, 2160}, 3.7},
                          Case{{1280, 720}, 1.15}, Case{{800, 600}, 1.0}, Case{{7680, 4320}, 4.0}}) {
        const double zoom = ZoomToFit(window, c.available);
        EXPECT_DOUBLE_EQ(zoom, c.zoom) << c.available.width() << "x" << c.available.height();
        if (zoom > 1.0) {
            EXPECT_LE(window.width() * zoom, c.available.width());
            EXPECT_LE(window.height() * zoom, c.available.height() - 30);
        }
    }
}

}  // namespace
}  // namespace waitline
