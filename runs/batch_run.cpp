#include "runs/batch_run.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "control/apply_settings.h"
#include "control/form.h"
#include "engine/decimal_chars.h"
#include "engine/number_text.h"
#include "runs/usable_cores.h"
#include "statistics/batch_means.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace waitline::batch {

namespace {

void Require(bool done, const char* what)
{
    // The options were checked before; a refusal here means the controller
    // and the checks disagree, and no result would be the demo's.
    if (!done) {
        throw std::logic_error(what);
    }
}

DemoStatistics ReadStatistics(const Simulation& sim, const RunTotals& fromGo)
{
    DemoStatistics s;
    s.sourced = sim.PacketsSourced;
    s.served = sim.PacketsServiced;
    s.lost = sim.PacketsLost;
    // The spread comes from the window, so no squares need keeping here.
    s.values = MeasuresOf(fromGo, 0.0, sim.NumServers);
    s.values.loss = sim.PercentDropped / 100.0;
    s.values.meanTimeInSystem = sim.MeanWaitingTime;
    s.values.sdTimeInSystem = sim.StdDevWaitingTime;
    s.values.meanInSystem = sim.MeanPktsInQueue;
    return s;
}

// The nicest a thread can be made: the window's thread and the rest of the
// machine go first, and the thread still runs on any processor left idle.
void LowerThisThreadsPriority()
{
#if defined(__linux__)
    // On Linux a thread's nice value is its own.
    constexpr int kNicest = 19;
    [[maybe_unused]] const int ignored = setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNicest);
#endif
}

}  // namespace

void ApplySettings(Form& form, const Settings& settings)
{
    const SeriesSettings six{settings.arrival,     settings.service, settings.arrivalRate,
                             settings.serviceRate, settings.servers, settings.queueLength};
    Require(waitline::ApplySettings(form, six), "a setting refused");
}

ReplicationResult RunReplication(const Settings& settings, std::uint64_t seed, RunWatch* watch)
{
    ReplicationResult result;
    Form form;
    FormLoad(form);
    // Start-up draws nothing, so reseeding here gives the sequence the
    // scenario runner's `seed` gives.
    form.clockRandom.seed(seed);
    form.sim.showMessage = [&result](std::string_view) { ++result.outOfPackets; };
    ApplySettings(form, settings);
    Click(form, ButtonId::StartButton);

    RunBatches batches(settings.warmup * kTicksPerSecond, settings.seconds * kTicksPerSecond);
    for (std::int64_t second = 0; second < settings.seconds; ++second) {
        // A simulated second as the scenario runner's `run` delivers it: a
        // second's ticks, then the once-a-second check.
        for (int tick = 0; tick < kTicksPerSecond; ++tick) {
            DeliverTimerMove(form);
            batches.afterTick(form.sim);
        }
        DeliverTimerCheck(form);
        if (watch != nullptr) {
            watch->secondsDone.fetch_add(1, std::memory_order_relaxed);
            if (watch->cancelled.load(std::memory_order_relaxed)) {
                return result;
            }
        }
    }
    result.demo = ReadStatistics(form.sim, batches.fromGo());
    result.afterWarmup = batches.afterWarmup();
    result.batchMeans = batches.intervals();
    return result;
}

void ShareWork(std::size_t count, Workers workers, const std::function<void(std::size_t)>& work)
{
    unsigned threads = workers.threads == 0 ? UsableCores() : workers.threads;
    if (!kRunsOnThreads) {
        threads = 1;
    }
    threads = static_cast<unsigned>(std::clamp<std::size_t>(count, 1, threads));
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto worker = [&] {
        try {
            for (std::size_t i = next++; i < count; i = next++) {
                work(i);
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            failure = std::current_exception();
            next = count;
        }
    };
    // A lowered priority belongs to a thread of its own, never the caller's.
    const bool callerWorks = !workers.lowPriority || !kRunsOnThreads;
    std::vector<std::thread> pool;
    for (unsigned t = callerWorks ? 1 : 0; t < threads; ++t) {
        pool.emplace_back([&worker, low = workers.lowPriority] {
            if (low) {
                LowerThisThreadsPriority();
            }
            worker();
        });
    }
    if (callerWorks) {
        worker();
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

std::vector<ReplicationResult> RunReplications(const Settings& settings, Workers workers, RunWatch* watch)
{
    const auto count = static_cast<std::size_t>(std::max(settings.replications, 1));
    std::vector<ReplicationResult> results(count);
    // Each replication has its own seed and its own slot, so which thread
    // runs it changes nothing.
    ShareWork(count, workers, [&](std::size_t i) { results[i] = RunReplication(settings, settings.seed + i, watch); });
    return results;
}

Summary Summarise(const Settings& settings, const std::vector<ReplicationResult>& replications)
{
    Summary summary;
    summary.theory =
        ExactTheory(settings.arrival, settings.service,
                    QueueSettings{settings.arrivalRate, settings.serviceRate, settings.servers, settings.queueLength});
    if (replications.empty()) {
        return summary;
    }
    DemoStatistics& s = summary.simulated;
    std::vector<RunTotals> stretches;
    stretches.reserve(replications.size());
    // Summed in replication order, so the figures do not depend on threads.
    for (const ReplicationResult& r : replications) {
        s.sourced += r.demo.sourced;
        s.served += r.demo.served;
        s.lost += r.demo.lost;
        for (const Measure& m : kMeasures) {
            s.values.*m.simulated += r.demo.values.*m.simulated;
        }
        summary.outOfPackets += r.outOfPackets;
        stretches.push_back(r.afterWarmup);
    }
    const auto n = static_cast<double>(replications.size());
    for (const Measure& m : kMeasures) {
        s.values.*m.simulated /= n;
    }
    summary.ci95 =
        replications.size() == 1 ? replications.front().batchMeans : IntervalsFrom(stretches, settings.servers);
    return summary;
}

std::optional<double> TheoryValue(const Summary& summary, const Measure& measure)
{
    if (!summary.theory.theory) {
        return std::nullopt;
    }
    return (*summary.theory.theory).*measure.theory;
}

std::optional<ConfidenceInterval> IntervalOf(const Summary& summary, const Measure& measure)
{
    return measure.interval != nullptr ? summary.ci95.*measure.interval : std::nullopt;
}

}  // namespace waitline::batch
