// waitline-scenario: drives the real main window off screen from a script
// and prints its state as JSON. No timer fires on its own; every event comes
// from a command of the script.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/random_source.h"
#include "engine/translatable.h"
#include "picture/layout.h"
#include "tools/json_writer.h"
#include "tools/script.h"
#include "ui/common/whole_file.h"
#include "ui/main_window/drawn_items.h"
#include "ui/main_window/main_window.h"
#include "ui/window_driver/window_driver.h"

namespace waitline {
namespace {

constexpr int kUnrunnableLine = 2;
constexpr int kRandomExhausted = 3;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class ScenarioRunner {
public:
    ScenarioRunner()
    {
        driver_.setTimersAutomatic(false);
        driver_.setMessageHandler([this](std::string_view text) { messages_.emplace_back(text); });
        window_.load();
        // Start-up seeded the sequence from the clock; the script may replace
        // it with scripted values or a seed of its own.
        random_.useSeed(SeededRandom::seedFromClock());
        driver_.form().sim.random = &random_;
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
        return driver_.typeText(c.box, QString::fromStdString(c.text))
                   ? std::string()
                   : WAITLINE_TR("waitline-scenario", "list-only box: no typing");
    }
    std::string operator()(const script::Choose& c)
    {
        return driver_.chooseEntry(c.box, QString::fromStdString(c.entry))
                   ? std::string()
                   : WAITLINE_TR("waitline-scenario", "no such entry: ") + c.entry;
    }
    std::string operator()(const script::ClickButton& c)
    {
        driver_.clickButton(c.button);
        return {};
    }
    std::string operator()(const script::Tick& c)
    {
        for (std::uint64_t k = 0; k < c.count; ++k) {
            driver_.deliverTimerMove();
        }
        return {};
    }
    std::string operator()(const script::Check& c)
    {
        for (std::uint64_t k = 0; k < c.count; ++k) {
            driver_.deliverTimerCheck();
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
        std::cout << dumpJson() << '\n' << std::flush;
        return {};
    }
    std::string operator()(const script::Snapshot& c)
    {
        // Whole or not at all: a full disk leaves an older picture as it was.
        const QString error = SavePng(driver_.grabClientArea(), QString::fromStdString(c.file));
        return error.isEmpty() ? std::string() : error.toStdString();
    }

private:
    template <typename Widget>
    Widget* find(std::string_view name) const
    {
        auto* widget =
            window_.findChild<Widget*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        if (widget == nullptr) {
            std::cerr << WAITLINE_COMMAND "-scenario: the window has no " << name << '\n';
            std::exit(1);
        }
        return widget;
    }

    template <typename Item>
    const Item& item(const QString& name) const
    {
        return *find<Item>(name.toLatin1().constData());
    }

    void packetsJson(JsonWriter& json) const
    {
        const Simulation& sim = driver_.form().sim;
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

    void slotsJson(JsonWriter& json) const
    {
        const Simulation& sim = driver_.form().sim;
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

    void captionsJson(JsonWriter& json) const
    {
        json.key("captions");
        json.beginObject();
        for (const ButtonControl& button : kButtonControls) {
            json.key(button.name), json.value(Utf8(find<QPushButton>(button.name)->text()));
        }
        for (const layout::LabelRow& label : layout::kValueLabels) {
            json.key(label.name), json.value(Utf8(item<LabelItem>(QString::fromLatin1(label.name)).caption()));
        }
        json.endObject();
        json.key("lblSecondsVisible"), json.value(item<LabelItem>(QStringLiteral("lblSeconds")).isVisible());
    }

    void combosJson(JsonWriter& json) const
    {
        json.key("combos");
        json.beginObject();
        for (const ComboControl& control : kComboControls) {
            const auto* combo = find<QComboBox>(control.name);
            json.key(control.name);
            json.beginObject();
            json.key("text"), json.value(Utf8(combo->currentText()));
            json.key("list");
            json.beginArray();
            for (int k = 0; k < combo->count(); ++k) {
                json.value(Utf8(combo->itemText(k)));
            }
            json.endArray();
            json.endObject();
        }
        json.endObject();
    }

    void drawingJson(JsonWriter& json) const
    {
        json.key("drawing");
        json.beginObject();
        json.key(layout::kQueueBoxes.name);
        json.beginArray();
        for (int j = 0; j < layout::kQueueBoxes.count; ++j) {
            json.value(
                item<OutlineItem>(QString::fromStdString(layout::MemberName(layout::kQueueBoxes.name, j))).isVisible());
        }
        json.endArray();
        json.key("servers");
        json.beginArray();
        for (int j = 0; j < MaxServers; ++j) {
            int shown = 0;
            for (const layout::ServerLineRow& line : layout::kServerLines) {
                shown += item<LineItem>(QString::fromStdString(layout::MemberName(line.name, j))).isVisible() ? 1 : 0;
            }
            if (shown == kServerLineCount || shown == 0) {
                json.value(shown == kServerLineCount);
            } else {
                json.value("mixed");
            }
        }
        json.endArray();
        const QRectF fifo = item<OutlineItem>(QString::fromLatin1(layout::kColumnOutline.name)).rect();
        json.key(layout::kColumnOutline.name);
        json.beginArray();
        json.value(fifo.left()), json.value(fifo.top()), json.value(fifo.width()), json.value(fifo.height());
        json.endArray();
        const QLineF line12 = item<LineItem>(QString::fromLatin1(layout::kArrivalLine.name)).line();
        json.key(layout::kArrivalLine.name);
        json.beginArray();
        json.value(line12.x1()), json.value(line12.y1()), json.value(line12.x2()), json.value(line12.y2());
        json.endArray();
        json.endObject();
    }

    std::string dumpJson() const
    {
        const Simulation& sim = driver_.form().sim;
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
        packetsJson(json);
        slotsJson(json);
        captionsJson(json);
        combosJson(json);
        drawingJson(json);
        json.key("messages");
        json.beginArray();
        for (const std::string& message : messages_) {
            json.value(message);
        }
        json.endArray();
        json.endObject();
        return json.text();
    }

    MainWindow window_;
    WindowDriver driver_{window_};
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
    // A folder opens as a stream that simply has no lines; it is no script.
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        std::cerr << WAITLINE_COMMAND "-scenario: cannot read " << file << ": it is a folder, not a script\n";
        return waitline::kUnrunnableLine;
    }
    std::ifstream in(file);
    if (!in) {
        std::cerr << WAITLINE_COMMAND "-scenario: cannot read " << file << '\n';
        return waitline::kUnrunnableLine;
    }
    return waitline::RunScript(in);
}
