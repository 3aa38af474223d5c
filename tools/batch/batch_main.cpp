// waitline-batch: runs the demo's own engine and controller without a window
// and prints its statistics, their 95 % intervals and the textbook values.
// See --help.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "engine/decimal_chars.h"
#include "engine/translatable.h"
#include "runs/batch_run.h"
#include "runs/sweep.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_report.h"
#include "tools/terminal_text.h"

namespace {

using namespace waitline::batch;
using Clock = std::chrono::steady_clock;

constexpr int kBadOption = 2;
constexpr int kFailed = 1;

void WriteError(const std::string& line) { std::fprintf(stderr, WAITLINE_COMMAND "-batch: %s\n", line.c_str()); }

// Writes what was asked for to standard output: all of it, or a line that
// says it could not and status 1.
int Print(std::string_view text)
{
    if (waitline::WriteWhole(stdout, text)) {
        return 0;
    }
    WriteError(WAITLINE_TR("waitline-batch", "cannot write to standard output"));
    return kFailed;
}

// What a bar leaves behind once it is wiped: its width in blanks, between
// two returns to the start of the line.
constexpr std::string_view kWipeBar = "\r                                                  \r";

// Set while a bar is on the terminal, for the signal handler to wipe it.
volatile std::sig_atomic_t gBarShown = 0;

// Ctrl+C, a hang-up or a kill leaves the terminal's line empty, then ends
// the program as the signal would have.
extern "C" void WipeBarAndEnd(int signal)
{
    if (gBarShown != 0) {
        // write() is safe in a signal handler; stdio is not.
        [[maybe_unused]] const ssize_t ignored = write(STDERR_FILENO, kWipeBar.data(), kWipeBar.size());
    }
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(signal, &byDefault, nullptr);
    raise(signal);
}

void WipeBarOnSignals()
{
    struct sigaction wipe {};
    wipe.sa_handler = WipeBarAndEnd;
    sigemptyset(&wipe.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the program was started to ignore stays ignored.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
            sigaction(signal, &wipe, nullptr);
        }
    }
}

class ProgressBar {
public:
    void show(double done)
    {
        constexpr int kWidth = 40;
        const int filled = std::clamp(static_cast<int>(done * kWidth), 0, kWidth);
        const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                                std::string(static_cast<std::size_t>(kWidth - filled), '.');
        gBarShown = 1;
        std::fprintf(stderr, "\r[%s] %3d %%", bar.c_str(), static_cast<int>(done * 100.0));
        std::fflush(stderr);
    }

    void wipe()
    {
        if (gBarShown != 0) {
            std::fputs(std::string(kWipeBar).c_str(), stderr);
            std::fflush(stderr);
            gBarShown = 0;
        }
    }
};

// A duration in the largest unit that keeps it a number a reader takes in
// at a glance: "about 40 minutes", "about 3.5 hours", "about 12 days".
std::string AboutDuration(double seconds)
{
    struct Unit {
        double seconds;
        const char* name;
    };
    constexpr std::array<Unit, 3> kUnits{{{86400.0, WAITLINE_TR("waitline-batch", "days")},
                                          {3600.0, WAITLINE_TR("waitline-batch", "hours")},
                                          {60.0, WAITLINE_TR("waitline-batch", "minutes")}}};
    const Unit* unit = &kUnits.back();
    for (const Unit& larger : kUnits) {
        if (seconds >= 2.0 * larger.seconds) {
            unit = &larger;
            break;
        }
    }
    const double count = seconds / unit->seconds;
    const int decimals = count < 10.0 ? 1 : 0;
    std::array<char, 32> text{};
    char* end =
        waitline::chars::ToChars(text.data(), text.data() + text.size(), count, std::chars_format::fixed, decimals).ptr;
    return WAITLINE_TR("waitline-batch", "about ") + std::string(text.data(), end) + " " + unit->name;
}

// A run that will take longer than this says so once its pace is known.
constexpr double kLongRunSeconds = 60.0;
constexpr auto kPaceMeasured = std::chrono::seconds(1);
constexpr auto kBarDelay = std::chrono::milliseconds(500);

// Runs the work; on a terminal, redraws a bar in place until it is done. Work
// that ends within its first half second never shows one. Wherever the output
// goes, work that will take over a minute says how long, once its first
// second has measured the pace. `total` is the simulated seconds all runs
// together go through.
template <typename Work>
auto RunWatched(double total, Work work)
{
    RunWatch watch;
    if constexpr (!kRunsOnThreads) {
        return work(watch);
    }
    auto run = std::async(std::launch::async, [&] { return work(watch); });
    const bool terminal = isatty(STDERR_FILENO) != 0;
    if (terminal) {
        WipeBarOnSignals();
    }
    const Clock::time_point start = Clock::now();
    ProgressBar bar;
    bool estimated = false;
    while (run.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        const auto elapsed = Clock::now() - start;
        const auto done = static_cast<double>(watch.secondsDone.load(std::memory_order_relaxed));
        if (!estimated && elapsed >= kPaceMeasured && done > 0.0) {
            estimated = true;
            const double wallSeconds = std::chrono::duration<double>(elapsed).count() * total / done;
            if (wallSeconds > kLongRunSeconds) {
                bar.wipe();
                WriteError(WAITLINE_TR("waitline-batch", "this run will take ") + AboutDuration(wallSeconds) +
                           WAITLINE_TR("waitline-batch", " at this pace; Ctrl+C stops it"));
            }
        }
        if (terminal && elapsed >= kBarDelay) {
            bar.show(done / total);
        }
    }
    bar.wipe();
    return run.get();
}

// The window shows a message box and goes on; so does this, counting.
void WarnOutOfPackets(std::int64_t times)
{
    if (times > 0) {
        WriteError(WAITLINE_TR("waitline-batch", "warning: the demo ran out of packets ") + std::to_string(times) +
                   (times == 1 ? WAITLINE_TR("waitline-batch", " time") : WAITLINE_TR("waitline-batch", " times")) +
                   WAITLINE_TR("waitline-batch",
                               " (\"Silly Error: Ran Out of Packets\"); each time a packet in flight was taken back"));
    }
}

int RunOnce(const Options& options)
{
    const Settings& settings = options.settings;
    const double total = static_cast<double>(settings.seconds) * settings.replications;
    const Summary summary = Summarise(settings, RunWatched(total, [&](RunWatch& watch) {
                                          return RunReplications(settings, Workers{options.jobs}, &watch);
                                      }));
    WarnOutOfPackets(summary.outOfPackets);
    return Print(Report(options.format, settings, summary));
}

int RunSweepOf(const Options& options)
{
    const std::vector<SweepPoint> points = GridPoints(options.settings, options.sweeps);
    const double total = static_cast<double>(options.settings.seconds) * options.settings.replications *
                         static_cast<double>(points.size());
    // Nothing cancels it but a signal, which ends the program.
    const std::vector<Summary> summaries =
        *RunWatched(total, [&](RunWatch& watch) { return RunSweep(points, Workers{options.jobs}, &watch); });
    std::int64_t outOfPackets = 0;
    for (const Summary& summary : summaries) {
        outOfPackets += summary.outOfPackets;
    }
    WarnOutOfPackets(outOfPackets);
    return Print(SweepReport(options, points, summaries));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(arguments);
    switch (parsed.action) {
    case ParsedOptions::Action::Refuse: WriteError(parsed.error); return kBadOption;
    case ParsedOptions::Action::Help: return Print(UsageText());
    case ParsedOptions::Action::Version: return Print(WAITLINE_COMMAND "-batch " WAITLINE_VERSION "\n");
    case ParsedOptions::Action::Run: break;
    }
    return parsed.options.sweeps.empty() ? RunOnce(parsed.options) : RunSweepOf(parsed.options);
}
