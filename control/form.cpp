#include "control/form.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "engine/geometry.h"
#include "engine/intervals.h"
#include "engine/number_text.h"
#include "engine/shown_statistics.h"
#include "engine/source.h"
#include "engine/tick.h"
#include "engine/translatable.h"

namespace waitline {

namespace {

constexpr std::array<std::string_view, 6> kRates{"0.1", "0.2", "0.5", "1", "2", "5"};

void FillNumbers(ComboBox& box, int from, int to)
{
    box.list.clear();
    for (int value = from; value <= to; ++value) {
        box.list.push_back(NumberToText(value));
    }
}

void FillTexts(ComboBox& box, const std::array<std::string_view, 6>& texts)
{
    box.list.assign(texts.begin(), texts.end());
}

void FillAndPresetControls(Form& form)
{
    DisplayModel& d = form.sim.display;
    FillNumbers(d.ServerCombo, 1, 5);
    FillNumbers(d.QueueCombo, 1, MaxQueueLength);
    FillTexts(d.ArrivalCombo, kRates);
    d.ArrivalCombo.text = "1";
    FillTexts(d.ServeRateCombo, kRates);
    d.ServeRateCombo.text = "1";
    FillTexts(d.SourceCombo, kDistributionNames);
    FillTexts(d.ServiceCombo, kDistributionNames);
    d.ServerCombo.text = "1";
    form.sim.NumServers = 1;
    d.QueueCombo.text = "3";
    form.sim.QueueLength = 3;
    d.SourceCombo.text = DistributionName(Distribution::Exponential);
    d.ServiceCombo.text = DistributionName(Distribution::Exponential);
}

// A structural value is taken only when the whole text is a number that
// rounds to a whole number from low to high: "3a" or a count of 0.4 is
// refused like a value out of range.
std::optional<std::int16_t> AcceptedWholeNumber(std::string_view text, int low, int high)
{
    const std::optional<std::int16_t> value = WholeNumber(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

// Rates below 0 are written back as "0", above the ceiling as the rate after it.
void ClampRate(ComboBox& box)
{
    const double v = LeadingNumber(box.text);
    if (v < 0.0) {
        box.text = "0";
    } else if (v > kRateCeiling) {
        box.text = std::to_string(kRateAfterCeiling);
    }
}

// A typed rate, a chosen distribution or a new structure begins a new series
// of the record from the moment it is in use.
void FollowSettings(Form& form)
{
    if (form.record != nullptr) {
        form.record->followSettings(form.sim);
    }
}

// One tick of the move timer, whoever asked for it.
void RunTick(Form& form)
{
    TimerMoveTimer(form.sim);
    if (form.record != nullptr) {
        form.record->afterTick(form.sim);
    }
}

}  // namespace

void FormLoad(Form& form)
{
    Simulation& sim = form.sim;
    form.clockRandom.seed(SeededRandom::seedFromClock());
    // The limits are the constants MaxQueueLength, MaxServers and MaxPacket.
    FillAndPresetControls(form);
    ResetSimulation(sim);
    DrawQueueAndServers(form);
    sim.Running = false;
    SourceTick(sim, SourceCall::StartUp);
    sim.display.TimerMove.Enabled = true;
    sim.display.TimerCheck.Enabled = true;
}

void StartButtonClick(Form& form)
{
    Simulation& sim = form.sim;
    if (sim.display.StartButton == "Go") {
        sim.display.StartButton = WAITLINE_TR("Controls", "Stop");
        ResetSimulation(sim);
        sim.Running = true;
        if (form.record != nullptr) {
            form.record->restart(sim);
        }
    } else {
        sim.display.StartButton = WAITLINE_TR("Controls", "Go");
        sim.Running = false;
    }
}

void PauseButtonClick(Form& form)
{
    Simulation& sim = form.sim;
    sim.Paused = !sim.Paused;
    sim.display.PauseButton = PauseCaption(sim.Paused);
    sim.display.TimerMove.Enabled = !sim.Paused;
}

void TimerCheckTimer(Form& form)
{
    Simulation& sim = form.sim;
    DisplayModel& d = sim.display;
    d.lblTime.caption.show(sim.SimTime, SpellWholeSeconds);

    const double queue = LeadingNumber(d.QueueCombo.text);
    if (queue != sim.QueueLength) {
        if (queue >= sim.NumServers && queue <= MaxQueueLength) {
            QueueComboClick(form);
        } else {
            d.QueueCombo.text = NumberToText(sim.QueueLength);
        }
    }
    const double servers = LeadingNumber(d.ServerCombo.text);
    if (servers != sim.NumServers) {
        if (servers <= sim.QueueLength && servers <= MaxServers) {
            ServerComboClick(form);
        } else {
            d.ServerCombo.text = NumberToText(sim.NumServers);
        }
    }
    ClampRate(d.ArrivalCombo);
    ClampRate(d.ServeRateCombo);
    RefreshStatistics(sim);
}

void QueueComboClick(Form& form)
{
    Simulation& sim = form.sim;
    DisplayModel& d = sim.display;
    const double v = LeadingNumber(d.QueueCombo.text);
    if (v >= sim.NumServers && v <= MaxQueueLength && v > 0.0) {
        if (const auto length = AcceptedWholeNumber(d.QueueCombo.text, sim.NumServers, MaxQueueLength)) {
            sim.QueueLength = *length;
        }
    }
    FillNumbers(d.ServerCombo, 1, std::min<int>(sim.QueueLength, MaxServers));
    d.ServerCombo.text = NumberToText(sim.NumServers);
    DrawQueueAndServers(form);
    d.QueueCombo.text = NumberToText(sim.QueueLength);
}

void ServerComboClick(Form& form)
{
    Simulation& sim = form.sim;
    DisplayModel& d = sim.display;
    const double v = LeadingNumber(d.ServerCombo.text);
    if (v <= sim.QueueLength && v <= MaxServers && v > 0.0) {
        if (const auto servers =
                AcceptedWholeNumber(d.ServerCombo.text, 1, std::min<int>(sim.QueueLength, MaxServers))) {
            sim.NumServers = *servers;
        }
    }
    FillNumbers(d.QueueCombo, sim.NumServers, MaxQueueLength);
    d.QueueCombo.text = NumberToText(sim.QueueLength);
    DrawQueueAndServers(form);
    // Unlike the queue box, the server box keeps the text it was given.
}

void DrawQueueAndServers(Form& form)
{
    const Simulation& sim = form.sim;
    QueueDrawing& drawing = form.sim.display.drawing;
    for (int j = 0; j < static_cast<int>(drawing.boxQueue.size()); ++j) {
        drawing.boxQueue[j] = j < sim.QueueLength;
    }
    for (int j = 0; j < static_cast<int>(drawing.serverLines.size()); ++j) {
        drawing.serverLines[j].fill(j < sim.NumServers);
    }
    drawing.Line12Y2 = geometry::ColumnTop(sim.QueueLength);
    drawing.shpFIFOHeight = geometry::ColumnHeight(sim.QueueLength);
    drawing.shpFIFOTop = geometry::ColumnTop(sim.QueueLength);
}

bool DeliverTimerMove(Form& form)
{
    if (!form.sim.display.TimerMove.Enabled) {
        return false;
    }
    RunTick(form);
    return true;
}

bool IsPaused(const Form& form) { return form.sim.Paused; }

bool StepOneTick(Form& form)
{
    // Pause holds the move timer off; the step passes it by without releasing it.
    if (!IsPaused(form)) {
        return false;
    }
    RunTick(form);
    return true;
}

bool DeliverTimerCheck(Form& form)
{
    if (!form.sim.display.TimerCheck.Enabled) {
        return false;
    }
    TimerCheckTimer(form);
    FollowSettings(form);
    return true;
}

bool TypeText(Form& form, ComboId id, std::string_view text)
{
    ComboBox& box = Combo(form.sim.display, id);
    if (!box.editable) {
        return false;
    }
    box.text.assign(text);
    FollowSettings(form);
    return true;
}

bool ChooseEntry(Form& form, ComboId id, std::string_view entry)
{
    ComboBox& box = Combo(form.sim.display, id);
    if (std::find(box.list.begin(), box.list.end(), entry) == box.list.end()) {
        return false;
    }
    box.text.assign(entry);
    if (id == ComboId::QueueCombo) {
        QueueComboClick(form);
    } else if (id == ComboId::ServerCombo) {
        ServerComboClick(form);
    }
    FollowSettings(form);
    return true;
}

void Click(Form& form, ButtonId id)
{
    if (id == ButtonId::StartButton) {
        StartButtonClick(form);
    } else {
        PauseButtonClick(form);
    }
}

}  // namespace waitline
