#include "engine/shown_statistics.h"

#include <cmath>
#include <limits>

#include "engine/number_text.h"

namespace waitline {

void SpellCount(std::string& text, double count) { AssignNumber(text, static_cast<std::int64_t>(count)); }

void SpellHundredths(std::string& text, double seconds) { AssignDecimal(text, std::floor(seconds * 100.0) / 100.0); }

void SpellWholeSeconds(std::string& text, double seconds)
{
    AssignNumber(text, static_cast<std::int64_t>(std::floor(seconds)));
}

void SpellSecondsStatistic(std::string& text, double value) { text = FormatStatistic(value, " s"); }

void SpellPercentStatistic(std::string& text, double value) { text = FormatStatistic(value, " %"); }

void SpellStatistic(std::string& text, double value) { text = FormatStatistic(value); }

void RecordWaitingTime(Simulation& sim, std::int32_t age)
{
    // No sum is stored: the second moment is rebuilt from the mean and the
    // standard deviation.
    double secondMoment = sim.MeanWaitingTime * sim.MeanWaitingTime + sim.StdDevWaitingTime * sim.StdDevWaitingTime;
    const std::int32_t n = sim.PacketsServiced;
    const double t = static_cast<double>(age) / 1000.0;
    const auto before = static_cast<double>(static_cast<std::int64_t>(n) - 1);
    // A time equal to the mean leaves it exactly where it is; the update
    // formula would round it a hair low, and the cut to hundredths would then
    // show a run of equal times one hundredth short.
    const bool equalsMean = n > 1 && t == sim.MeanWaitingTime;
    const bool allEqual = equalsMean && sim.StdDevWaitingTime == 0.0;
    if (!equalsMean) {
        sim.MeanWaitingTime = (before * sim.MeanWaitingTime + t) / n;
    }
    sim.display.lblMeanWaitingTime.caption.show(sim.MeanWaitingTime, SpellSecondsStatistic);
    secondMoment = (t * t + before * secondMoment) / n;
    // Rounding can leave the variance a hair below 0 when every time was the
    // same; its exact value is then 0.
    const double variance = secondMoment - sim.MeanWaitingTime * sim.MeanWaitingTime;
    sim.StdDevWaitingTime = (allEqual || variance <= 0.0) ? 0.0 : std::sqrt(variance);
    sim.display.lblStdDevWaitingTime.caption.show(sim.StdDevWaitingTime, SpellSecondsStatistic);
}

void RefreshStatistics(Simulation& sim)
{
    if (sim.PacketsSourced >= 1) {
        const std::int64_t lostTimesHundred = static_cast<std::int64_t>(sim.PacketsLost) * 100;
        sim.PercentDropped = static_cast<double>(lostTimesHundred) / sim.PacketsSourced;
        sim.display.lblPercentDropped.caption.show(sim.PercentDropped, SpellPercentStatistic);
    }
    sim.display.lblMeanPktsInQueue.caption.show(sim.MeanPktsInQueue, SpellStatistic);
}

}  // namespace waitline
