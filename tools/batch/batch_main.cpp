// waitline-batch: runs the demo's own engine and controller without a window
// and prints its statistics, their 95 % intervals and the textbook values.
// See --help.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "tools/batch/batch_options.h"
#include "tools/batch/batch_report.h"
#include "tools/batch/batch_run.h"

namespace {

using namespace waitline::batch;
using Clock = std::chrono::steady_clock;

constexpr int kBadOption = 2;
constexpr int kFailed = 1;

void WriteError(const std::string& line) { std::fprintf(stderr, "waitline-batch: %s\n", line.c_str()); }

// Redraws a bar on the terminal in place until the run is done. A run that
// ends within its first half second never shows one.
std::vector<ReplicationResult> RunWithProgress(const Settings& settings)
{
    std::atomic<std::int64_t> secondsDone{0};
    auto run = std::async(std::launch::async, [&] { return RunReplications(settings, 0, &secondsDone); });
    if (isatty(STDERR_FILENO) == 0) {
        return run.get();
    }
    const auto total = static_cast<double>(settings.seconds) * settings.replications;
    const Clock::time_point start = Clock::now();
    bool shown = false;
    while (run.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (Clock::now() - start < std::chrono::milliseconds(500)) {
            continue;
        }
        constexpr int kWidth = 40;
        const double done = static_cast<double>(secondsDone.load(std::memory_order_relaxed)) / total;
        const int filled = static_cast<int>(done * kWidth);
        const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                                std::string(static_cast<std::size_t>(kWidth - filled), '.');
        std::fprintf(stderr, "\r[%s] %3d %%", bar.c_str(), static_cast<int>(done * 100.0));
        std::fflush(stderr);
        shown = true;
    }
    if (shown) {
        std::fprintf(stderr, "\r%*s\r", 50, "");
        std::fflush(stderr);
    }
    return run.get();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(arguments);
    switch (parsed.action) {
    case ParsedOptions::Action::Refuse: WriteError(parsed.error); return kBadOption;
    case ParsedOptions::Action::Help: std::fputs(UsageText().c_str(), stdout); return 0;
    case ParsedOptions::Action::Version: std::puts("waitline-batch " WAITLINE_VERSION); return 0;
    case ParsedOptions::Action::Run: break;
    }
    const Settings& settings = parsed.options.settings;
    const Summary summary = Summarise(settings, RunWithProgress(settings));
    if (summary.outOfPackets > 0) {
        // The window shows a message box and goes on; so does this, counting.
        WriteError("warning: the demo ran out of packets " + std::to_string(summary.outOfPackets) +
                   (summary.outOfPackets == 1 ? " time" : " times") +
                   " (\"Silly Error: Ran Out of Packets\"); each time a packet in flight was taken back");
    }
    const std::string report = Report(parsed.options.format, settings, summary);
    if (std::fputs(report.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        WriteError("cannot write the results");
        return kFailed;
    }
    return 0;
}
