#include "tools/scenario/scenario_run.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <variant>
#include <vector>

#include "engine/random_source.h"
#include "engine/translatable.h"
#include "tools/scenario/scenario_dump.h"
#include "tools/scenario/script.h"

namespace waitline::scenario {
namespace {

// Delivers each command of the script to the window, with the random
// sequence the script scripts or seeds.
class Runner {
public:
    explicit Runner(ScenarioWindow& window) : window_(window)
    {
        window_.load([this](std::string_view text) { messages_.emplace_back(text); });
        // Start-up seeded the sequence from the clock; the script may replace
        // it with scripted values or a seed of its own.
        random_.useSeed(SeededRandom::seedFromClock());
        window_.form().sim.random = &random_;
    }

    // Runs one command; returns an error text when the line cannot be run.
    std::string run(const script::Command& command) { return std::visit(*this, command); }

    std::string operator()(const script::Random& c)
    {
        for (const float value : c.values) {
            random_.append(value);
        }
        return {};
    }
    std::string operator()(const script::Seed& c)
    {
        random_.useSeed(c.seed);
        return {};
    }
    std::string operator()(const script::Type& c)
    {
        return window_.typeText(c.box, c.text) ? std::string()
                                               : WAITLINE_TR("waitline-scenario", "list-only box: no typing");
    }
    std::string operator()(const script::Choose& c)
    {
        return window_.chooseEntry(c.box, c.entry) ? std::string()
                                                   : WAITLINE_TR("waitline-scenario", "no such entry: ") + c.entry;
    }
    std::string operator()(const script::ClickButton& c)
    {
        window_.click(c.button);
        return {};
    }
    std::string operator()(const script::Tick& c)
    {
        for (std::uint64_t k = 0; k < c.count; ++k) {
            window_.deliverTimerMove();
        }
        return {};
    }
    std::string operator()(const script::Check& c)
    {
        for (std::uint64_t k = 0; k < c.count; ++k) {
            window_.deliverTimerCheck();
        }
        return {};
    }
    std::string operator()(const script::Run& c)
    {
        for (std::uint64_t second = 0; second < c.seconds; ++second) {
            (*this)(script::Tick{kTicksPerSecond});
            (*this)(script::Check{1});
        }
        return {};
    }
    std::string operator()(const script::Dump&)
    {
        std::cout << DumpJson(window_, messages_) << '\n' << std::flush;
        return {};
    }
    std::string operator()(const script::Snapshot& c) { return window_.snapshot(c.file); }

private:
    ScenarioWindow& window_;
    ScriptedRandom random_;
    std::vector<std::string> messages_;
};

int RunLines(ScenarioWindow& window, std::istream& in)
{
    Runner runner(window);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const script::Parsed parsed = script::ParseLine(line);
        std::string error = parsed.error;
        if (error.empty() && parsed.command) {
            try {
                error = runner.run(*parsed.command);
            } catch (const ScriptedRandom::Exhausted&) {
                std::cerr << WAITLINE_TR("waitline-scenario", "line ") << number
                          << WAITLINE_TR("waitline-scenario", ": random sequence exhausted") << '\n';
                return kRandomExhausted;
            }
        }
        if (!error.empty()) {
            std::cerr << WAITLINE_TR("waitline-scenario", "line ") << number << ": " << error << '\n';
            return kUnrunnableLine;
        }
    }
    // A script that could not be read to its end did not run whole.
    if (in.bad()) {
        std::cerr << WAITLINE_COMMAND "-scenario: the script could not be read to its end\n";
        return kUnrunnableLine;
    }
    return 0;
}

}  // namespace

int RunScenario(ScenarioWindow& window, const std::string& file)
{
    if (file == "-") {
        return RunLines(window, std::cin);
    }
    // A folder opens as a stream that simply has no lines; it is no script.
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        std::cerr << WAITLINE_COMMAND "-scenario: cannot read " << file << ": it is a folder, not a script\n";
        return kUnrunnableLine;
    }
    std::ifstream in(file);
    if (!in) {
        std::cerr << WAITLINE_COMMAND "-scenario: cannot read " << file << '\n';
        return kUnrunnableLine;
    }
    return RunLines(window, in);
}

}  // namespace waitline::scenario
