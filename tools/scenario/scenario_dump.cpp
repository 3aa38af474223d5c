#include "tools/scenario/scenario_dump.h"

#include "engine/json_writer.h"

namespace waitline::scenario {
namespace {

void PacketsJson(JsonWriter& json, const Simulation& sim)
{
    json.key("packets");
    json.beginArray();
    for (int i = 0; i <= MaxPacket; ++i) {
        const Packet& p = sim.packets[i];
        if (p.PacketState == Pkt::Off && !p.Visible) {
            continue;
        }
        json.beginObject();
        json.key("i"), json.value(i);
        json.key("state"), json.value(ToText(p.PacketState));
        json.key("left"), json.value(static_cast<double>(p.Left));
        json.key("top"), json.value(static_cast<double>(p.Top));
        json.key("visible"), json.value(p.Visible);
        json.key("color");
        json.beginArray();
        json.value(p.FillColor.r), json.value(p.FillColor.g), json.value(p.FillColor.b);
        json.endArray();
        json.key("serviceLeft"), json.value(p.ServiceLeft);
        json.key("age"), json.value(p.PacketAge);
        json.endObject();
    }
    json.endArray();
}

void SlotsJson(JsonWriter& json, const Simulation& sim)
{
    json.key("slots");
    json.beginArray();
    for (int j = 0; j <= MaxQueueLength; ++j) {
        json.beginObject();
        json.key("state"), json.value(ToText(sim.slots[j].SlotState));
        json.key("packet"), json.value(sim.slots[j].SlotPacket);
        json.endObject();
    }
    json.endArray();
}

void CaptionsJson(JsonWriter& json, const ScenarioWindow& window)
{
    json.key("captions");
    json.beginObject();
    for (const ButtonControl& button : kButtonControls) {
        json.key(button.name), json.value(window.caption(button.id));
    }
    bool secondsVisible = false;
    for (const layout::LabelRow& row : layout::kValueLabels) {
        const Label shown = window.label(row);
        json.key(row.name), json.value(shown.caption);
        secondsVisible = secondsVisible || (std::string_view(row.name) == "lblSeconds" && shown.visible);
    }
    json.endObject();
    json.key("lblSecondsVisible"), json.value(secondsVisible);
}

void CombosJson(JsonWriter& json, const ScenarioWindow& window)
{
    json.key("combos");
    json.beginObject();
    for (const ComboControl& control : kComboControls) {
        const ComboBox combo = window.combo(control.id);
        json.key(control.name);
        json.beginObject();
        json.key("text"), json.value(combo.text);
        json.key("list");
        json.beginArray();
        for (const std::string& entry : combo.list) {
            json.value(entry);
        }
        json.endArray();
        json.endObject();
    }
    json.endObject();
}

void NumbersJson(JsonWriter& json, const std::array<double, 4>& numbers)
{
    json.beginArray();
    for (const double number : numbers) {
        json.value(number);
    }
    json.endArray();
}

void DrawingJson(JsonWriter& json, const ScenarioWindow& window)
{
    json.key("drawing");
    json.beginObject();
    json.key(layout::kQueueBoxes.name);
    json.beginArray();
    for (int j = 0; j < layout::kQueueBoxes.count; ++j) {
        json.value(window.boxVisible(j));
    }
    json.endArray();
    json.key("servers");
    json.beginArray();
    for (int j = 0; j < MaxServers; ++j) {
        int shown = 0;
        for (std::size_t line = 0; line < layout::kServerLines.size(); ++line) {
            shown += window.serverLineVisible(j, line) ? 1 : 0;
        }
        if (shown == kServerLineCount || shown == 0) {
            json.value(shown == kServerLineCount);
        } else {
            json.value("mixed");
        }
    }
    json.endArray();
    json.key(layout::kColumnOutline.name);
    NumbersJson(json, window.columnOutline());
    json.key(layout::kArrivalLine.name);
    NumbersJson(json, window.arrivalLine());
    json.endObject();
}

}  // namespace

std::string DumpJson(const ScenarioWindow& window, const std::vector<std::string>& messages)
{
    const Simulation& sim = window.form().sim;
    JsonWriter json;
    json.beginObject();
    json.key("Running"), json.value(sim.Running);
    json.key("TimerMove"), json.value(sim.display.TimerMove.Enabled);
    json.key("TimerCheck"), json.value(sim.display.TimerCheck.Enabled);
    json.key("NumServers"), json.value(sim.NumServers);
    json.key("QueueLength"), json.value(sim.QueueLength);
    json.key("QueueDepth"), json.value(sim.QueueDepth);
    json.key("PacketsSourced"), json.value(sim.PacketsSourced);
    json.key("PacketsServiced"), json.value(sim.PacketsServiced);
    json.key("PacketsLost"), json.value(sim.PacketsLost);
    json.key("TickCount"), json.value(sim.TickCount);
    json.key("TimeToNextArrival"), json.value(sim.source.TimeToNextArrival);
    json.key("SimTime"), json.value(sim.SimTime);
    json.key("PercentDropped"), json.value(sim.PercentDropped);
    json.key("MeanWaitingTime"), json.value(sim.MeanWaitingTime);
    json.key("StdDevWaitingTime"), json.value(sim.StdDevWaitingTime);
    json.key("MeanPktsInQueue"), json.value(sim.MeanPktsInQueue);
    PacketsJson(json, sim);
    SlotsJson(json, sim);
    CaptionsJson(json, window);
    CombosJson(json, window);
    DrawingJson(json, window);
    json.key("messages");
    json.beginArray();
    for (const std::string& message : messages) {
        json.value(message);
    }
    json.endArray();
    json.endObject();
    return json.text();
}

}  // namespace waitline::scenario
