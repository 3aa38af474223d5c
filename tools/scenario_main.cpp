// waitline-scenario: drives the real main window off screen from a script
// and prints its state as JSON. No timer fires on its own; every event comes
// from a command of the script.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "tools/json_writer.h"
#include "ui/main_window.h"
#include "engine/random_source.h"
#include "tools/script.h"

namespace waitline {
namespace {

constexpr int kUnrunnableLine = 2;
constexpr int kRandomExhausted = 3;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class ScenarioRunner {
public:
    ScenarioRunner()
    {
        window_.setTimersAutomatic(false);
        window_.setMessageHandler([this](std::string_view text) { messages_.emplace_back(text); });
        window_.load();
        // Start-up seeded the sequence from the clock; the script may replace
        // it with scripted values or a seed of its own.
        random_.UseSeed(SeededRandom::SeedFromClock());
        window_.form().sim.random = &random_;
    }

    // Runs one command; returns an error text when the line cannot be run.
    std::string Run(const script::Command& command) { return std::visit(*this, command); }

    std::string operator()(const script::Random& c)
    {
        for (const float value : c.values) {
            random_.Append(value);
        }
        return {};
    }
    std::string operator()(const script::Seed& c)
    {
        random_.UseSeed(c.seed);
        return {};
    }
    std::string operator()(const script::Type& c)
    {
        return window_.typeText(c.box, QString::fromStdString(c.text)) ? std::string() : "list-only box: no typing";
    }
    std::string operator()(const script::Choose& c)
    {
        return window_.chooseEntry(c.box, QString::fromStdString(c.entry)) ? std::string()
                                                                           : "no such entry: " + c.entry;
    }
    std::string operator()(const script::ClickButton& c)
    {
        window_.clickButton(c.button);
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
            (*this)(script::Tick{100});
            (*this)(script::Check{1});
        }
        return {};
    }
    std::string operator()(const script::Dump&)
    {
        std::cout << DumpJson() << '\n' << std::flush;
        return {};
    }
    std::string operator()(const script::Snapshot& c)
    {
        if (!window_.grabClientArea().save(QString::fromStdString(c.file), "PNG")) {
            return "cannot write " + c.file;
        }
        return {};
    }

private:
    template <typename Widget>
    Widget* Find(const char* name) const
    {
        auto* widget = window_.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            std::fprintf(stderr, "waitline-scenario: the window has no %s\n", name);
            std::exit(1);
        }
        return widget;
    }

    const DrawnItem& Item(const QString& name) const { return *Find<DrawnItem>(name.toLatin1().constData()); }

    void PacketsJson(JsonWriter& json) const
    {
        const Simulation& sim = window_.form().sim;
        json.Key("packets");
        json.BeginArray();
        for (int i = 0; i <= MaxPacket; ++i) {
            const Packet& p = sim.packets[i];
            if (p.PacketState == Pkt::Off && !p.Visible) {
                continue;
            }
            json.BeginObject();
            json.Key("i"), json.Value(i);
            json.Key("state"), json.Value(ToText(p.PacketState));
            json.Key("left"), json.Value(static_cast<double>(p.Left));
            json.Key("top"), json.Value(static_cast<double>(p.Top));
            json.Key("visible"), json.Value(p.Visible);
            json.Key("color");
            json.BeginArray();
            json.Value(p.FillColor.r), json.Value(p.FillColor.g), json.Value(p.FillColor.b);
            json.EndArray();
            json.Key("serviceLeft"), json.Value(p.ServiceLeft);
            json.Key("age"), json.Value(p.PacketAge);
            json.EndObject();
        }
        json.EndArray();
    }

    void SlotsJson(JsonWriter& json) const
    {
        const Simulation& sim = window_.form().sim;
        json.Key("slots");
        json.BeginArray();
        for (int j = 0; j <= MaxQueueLength; ++j) {
            json.BeginObject();
            json.Key("state"), json.Value(ToText(sim.slots[j].SlotState));
            json.Key("packet"), json.Value(sim.slots[j].SlotPacket);
            json.EndObject();
        }
        json.EndArray();
    }

    void CaptionsJson(JsonWriter& json) const
    {
        json.Key("captions");
        json.BeginObject();
        for (const char* button : {"StartButton", "PauseButton"}) {
            json.Key(button), json.Value(Utf8(Find<QPushButton>(button)->text()));
        }
        for (const char* label :
             {"lblTime", "lblSeconds", "lblPacketsSourced", "lblPacketsServiced", "lblPacketsLost", "lblPercentDropped",
              "lblMeanWaitingTime", "lblStdDevWaitingTime", "lblMeanPktsInQueue"}) {
            json.Key(label), json.Value(Utf8(Item(QString::fromLatin1(label)).caption()));
        }
        json.EndObject();
        json.Key("lblSecondsVisible"), json.Value(Item(QStringLiteral("lblSeconds")).isVisible());
    }

    void CombosJson(JsonWriter& json) const
    {
        json.Key("combos");
        json.BeginObject();
        for (const char* name :
             {"SourceCombo", "ArrivalCombo", "QueueCombo", "ServiceCombo", "ServerCombo", "ServeRateCombo"}) {
            const auto* combo = Find<QComboBox>(name);
            json.Key(name);
            json.BeginObject();
            json.Key("text"), json.Value(Utf8(combo->currentText()));
            json.Key("list");
            json.BeginArray();
            for (int k = 0; k < combo->count(); ++k) {
                json.Value(Utf8(combo->itemText(k)));
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndObject();
    }

    void DrawingJson(JsonWriter& json) const
    {
        json.Key("drawing");
        json.BeginObject();
        json.Key("boxQueue");
        json.BeginArray();
        for (int j = 0; j <= 10; ++j) {
            json.Value(Item(QStringLiteral("boxQueue%1").arg(j)).isVisible());
        }
        json.EndArray();
        json.Key("servers");
        json.BeginArray();
        for (int j = 0; j < 5; ++j) {
            int shown = 0;
            for (const char* line : {"LineOut", "linServerLeft", "linServer", "linServerTop", "linServerBottom"}) {
                shown += Item(QStringLiteral("%1%2").arg(QLatin1String(line)).arg(j)).isVisible() ? 1 : 0;
            }
            if (shown == 5 || shown == 0) {
                json.Value(shown == 5);
            } else {
                json.Value("mixed");
            }
        }
        json.EndArray();
        const QRectF fifo = Item(QStringLiteral("shpFIFO")).rect();
        json.Key("shpFIFO");
        json.BeginArray();
        json.Value(fifo.left()), json.Value(fifo.top()), json.Value(fifo.width()), json.Value(fifo.height());
        json.EndArray();
        const QLineF line12 = Item(QStringLiteral("Line12")).line();
        json.Key("Line12");
        json.BeginArray();
        json.Value(line12.x1()), json.Value(line12.y1()), json.Value(line12.x2()), json.Value(line12.y2());
        json.EndArray();
        json.EndObject();
    }

    std::string DumpJson() const
    {
        const Simulation& sim = window_.form().sim;
        JsonWriter json;
        json.BeginObject();
        json.Key("Running"), json.Value(sim.Running);
        json.Key("TimerMove"), json.Value(sim.display.TimerMove.Enabled);
        json.Key("TimerCheck"), json.Value(sim.display.TimerCheck.Enabled);
        json.Key("NumServers"), json.Value(sim.NumServers);
        json.Key("QueueLength"), json.Value(sim.QueueLength);
        json.Key("QueueDepth"), json.Value(sim.QueueDepth);
        json.Key("PacketsSourced"), json.Value(sim.PacketsSourced);
        json.Key("PacketsServiced"), json.Value(sim.PacketsServiced);
        json.Key("PacketsLost"), json.Value(sim.PacketsLost);
        json.Key("TickCount"), json.Value(sim.TickCount);
        json.Key("TimeToNextArrival"), json.Value(sim.source.TimeToNextArrival);
        json.Key("SimTime"), json.Value(sim.SimTime);
        json.Key("PercentDropped"), json.Value(sim.PercentDropped);
        json.Key("MeanWaitingTime"), json.Value(sim.MeanWaitingTime);
        json.Key("StdDevWaitingTime"), json.Value(sim.StdDevWaitingTime);
        json.Key("MeanPktsInQueue"), json.Value(sim.MeanPktsInQueue);
        PacketsJson(json);
        SlotsJson(json);
        CaptionsJson(json);
        CombosJson(json);
        DrawingJson(json);
        json.Key("messages");
        json.BeginArray();
        for (const std::string& message : messages_) {
            json.Value(message);
        }
        json.EndArray();
        json.EndObject();
        return json.Text();
    }

    MainWindow window_;
    ScriptedRandom random_;
    std::vector<std::string> messages_;
};

int RunScript(std::istream& in)
{
    ScenarioRunner runner;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const script::Parsed parsed = script::ParseLine(line);
        std::string error = parsed.error;
        if (error.empty() && parsed.command) {
            try {
                error = runner.Run(*parsed.command);
            } catch (const ScriptedRandom::Exhausted&) {
                std::cerr << "line " << number << ": random sequence exhausted\n";
                return kRandomExhausted;
            }
        }
        if (!error.empty()) {
            std::cerr << "line " << number << ": " << error << '\n';
            return kUnrunnableLine;
        }
    }
    return 0;
}

}  // namespace
}  // namespace waitline

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const std::string file = argc > 1 ? argv[1] : "-";
    if (file == "-") {
        return waitline::RunScript(std::cin);
    }
    std::ifstream in(file);
    if (!in) {
        std::cerr << "waitline-scenario: cannot read " << file << '\n';
        return waitline::kUnrunnableLine;
    }
    return waitline::RunScript(in);
}
