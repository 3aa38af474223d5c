#include "tools/batch/batch_run.h"

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
#include "statistics/batch_means.h"

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

}  // namespace

void ApplySettings(Form& form, const Settings& settings)
{
    const SeriesSettings six{settings.arrival,     settings.service, settings.arrivalRate,
                             settings.serviceRate, settings.servers, settings.queueLength};
    Require(waitline::ApplySettings(form, six), "a setting refused");
}

ReplicationResult RunReplication(const Settings& settings, std::uint64_t seed, std::atomic<std::int64_t>* secondsDone)
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
        if (secondsDone != nullptr) {
            secondsDone->fetch_add(1, std::memory_order_relaxed);
        }
    }
    result.demo = ReadStatistics(form.sim, batches.fromGo());
    result.afterWarmup = batches.afterWarmup();
    result.batchMeans = batches.intervals();
    return result;
}

std::vector<ReplicationResult> RunReplications(const Settings& settings, unsigned threads,
                                               std::atomic<std::int64_t>* secondsDone)
{
    const auto count = static_cast<std::size_t>(std::max(settings.replications, 1));
    std::vector<ReplicationResult> results(count);
    if (!kRunsOnThreads) {
        threads = 1;
    } else if (threads == 0) {
        threads = std::max(std::thread::hardware_concurrency(), 1U);
    }
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, count));
    // Each replication has its own seed and its own slot, so which thread
    // runs it changes nothing.
    std::atomic<std::size_t> nextReplication{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
        try {
            for (std::size_t i = nextReplication++; i < count; i = nextReplication++) {
                results[i] = RunReplication(settings, settings.seed + i, secondsDone);
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            failure = std::current_exception();
            nextReplication = count;
        }
    };
    std::vector<std::thread> workers;
    workers.reserve(threads - 1);
    for (unsigned t = 1; t < threads; ++t) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
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

}  // namespace waitline::batch
