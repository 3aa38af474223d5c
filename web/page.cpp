#include "web/page.h"

#include <algorithm>
#include <optional>

#include "control/apply_settings.h"
#include "engine/intervals.h"
#include "engine/json_writer.h"
#include "engine/number_text.h"
#include "engine/translatable.h"
#include "picture/explanations.h"
#include "picture/layout.h"
#include "picture/queue_words.h"
#include "statistics/measures.h"
#include "statistics/queue_theory.h"

namespace waitline::web {
namespace {

// --- The picture description as JSON -----------------------------------------

void Numbers(JsonWriter& json, std::initializer_list<double> numbers)
{
    json.beginArray();
    for (const double n : numbers) {
        json.value(n);
    }
    json.endArray();
}

void Colour(JsonWriter& json, picture::Rgb c) { Numbers(json, {double(c.red), double(c.green), double(c.blue)}); }

void Place(JsonWriter& json, picture::Rect r)
{
    Numbers(json, {double(r.x), double(r.y), double(r.width), double(r.height)});
}

void Font(JsonWriter& json, const TextStyle& style)
{
    json.beginObject();
    json.key("family"), json.value(FamilyFor(style.face));
    json.key("size"), json.value(style.pixelSize);
    json.key("bold"), json.value(style.bold);
    json.endObject();
}

std::string_view AlignName(picture::Align align)
{
    switch (align) {
    case picture::Align::Left: return "left";
    case picture::Align::Right: return "right";
    case picture::Align::Centre: break;
    }
    return "center";
}

void LabelJson(JsonWriter& json, const layout::LabelRow& row, std::string_view caption)
{
    json.beginObject();
    json.key("name"), json.value(std::string_view(row.name));
    json.key("place"), Place(json, row.place);
    json.key("align"), json.value(AlignName(row.align));
    json.key("font"), Font(json, row.style);
    json.key("layer"), json.value(row.layer);
    json.key("caption"), json.value(caption);
    json.endObject();
}

// The fixed labels with their captions; the value labels' captions come with
// the state.
void LabelsJson(JsonWriter& json)
{
    json.key("labels");
    json.beginArray();
    for (const layout::LabelRow& row : layout::kFixedLabels) {
        LabelJson(json, row, row.caption);
    }
    for (const layout::LabelRow& row : layout::kValueLabels) {
        LabelJson(json, row, {});
    }
    json.endArray();
}

// A line ("line": x1, y1, x2, y2) or an outline ("rect": x, y, width, height).
void ShapeJson(JsonWriter& json, std::string_view name, std::string_view shape, std::initializer_list<double> numbers,
               picture::Rgb colour, int width, int layer)
{
    json.beginObject();
    json.key("name"), json.value(name);
    json.key(shape), Numbers(json, numbers);
    json.key("colour"), Colour(json, colour);
    json.key("width"), json.value(width);
    json.key("layer"), json.value(layer);
    json.endObject();
}

void LineJson(JsonWriter& json, const layout::LineRow& row)
{
    ShapeJson(json, row.name, "line", {row.line.x1, row.line.y1, row.line.x2, row.line.y2}, row.color, row.width,
              row.layer);
}

void DrawingJson(JsonWriter& json)
{
    json.key("lines");
    json.beginArray();
    for (const layout::LineRow& row : layout::kFunnelAndBin) {
        LineJson(json, row);
    }
    LineJson(json, layout::kArrivalLine);
    json.endArray();
    const layout::OutlineRow& fifo = layout::kColumnOutline;
    json.key("outline");
    ShapeJson(json, fifo.name, "rect", {fifo.rect.x, fifo.rect.y, fifo.rect.width, fifo.rect.height}, fifo.color,
              fifo.width, fifo.layer);
    json.key("boxes");
    json.beginArray();
    for (int j = 0; j < layout::kQueueBoxes.count; ++j) {
        const picture::RectF r = layout::QueueBoxRect(j);
        json.beginObject();
        json.key("rect"), Numbers(json, {r.x, r.y, r.width, r.height});
        json.key("width"), json.value(layout::kQueueBoxes.width);
        json.key("layer"), json.value(layout::kQueueBoxes.layers.at(j));
        json.endObject();
    }
    json.endArray();
    json.key("serverLines");
    json.beginArray();
    for (int j = 0; j < MaxServers; ++j) {
        for (const layout::ServerLineRow& row : layout::kServerLines) {
            const picture::Line line = layout::ServerLineAt(row, j);
            json.beginObject();
            json.key("server"), json.value(j);
            json.key("line"), Numbers(json, {line.x1, line.y1, line.x2, line.y2});
            json.key("width"), json.value(row.width);
            json.key("layer"), json.value(row.layers.at(j));
            json.endObject();
        }
    }
    json.endArray();
    json.key("packets");
    json.beginObject();
    json.key("size"), Numbers(json, {geometry::kPacketWidth, geometry::kPacketHeight});
    json.key("outline"), json.value(layout::kPackets.outlineWidth);
    json.key("firstLayer"), json.value(layout::kPackets.layers.first);
    json.key("layerStep"), json.value(layout::kPackets.layers.step);
    json.endObject();
}

void ControlsJson(JsonWriter& json)
{
    json.key("buttons");
    json.beginArray();
    for (const layout::ButtonPlace& b : layout::kButtonPlaces) {
        json.beginObject();
        json.key("name"), json.value(Control(b.id).name);
        json.key("place"), Place(json, b.place);
        json.endObject();
    }
    json.endArray();
    json.key("buttonFont"), Font(json, layout::kButtonStyle);
    json.key("combos");
    json.beginArray();
    const DisplayModel start;
    for (const layout::ComboPlace& c : layout::kComboPlaces) {
        json.beginObject();
        json.key("name"), json.value(Control(c.id).name);
        json.key("place"), Place(json, c.place);
        json.key("editable"), json.value(Combo(start, c.id).editable);
        json.endObject();
    }
    json.endArray();
    json.key("comboFont"), Font(json, layout::kComboStyle);
}

std::string HelpText(const Explanation& row)
{
    std::string help(row.help);
    if (row.measure.empty()) {
        return help;
    }
    std::string written(kWrittenAs);
    written.replace(written.find("%1"), 2, TextbookSymbol(row));
    written.replace(written.find("%2"), 2, MeasureKeyed(row.measure).name);
    return help + written;
}

void ExplanationsJson(JsonWriter& json)
{
    json.key("explanations");
    json.beginArray();
    for (const Explanation& row : kExplanations) {
        json.beginObject();
        json.key("object"), json.value(row.object);
        json.key("kind"), json.value(static_cast<int>(row.kind));
        json.key("name"), json.value(row.name);
        json.key("help"), json.value(HelpText(row));
        json.endObject();
    }
    json.endArray();
}

void SpeedsAndMeasuresJson(JsonWriter& json)
{
    json.key("speeds");
    json.beginArray();
    for (const LectureSpeed speed : kLectureSpeeds) {
        json.value(SpeedName(speed));
    }
    json.endArray();
    json.key("realTime"), json.value(static_cast<int>(SpeedIndex(LectureSpeed::RealTime)));
    json.key("measures");
    json.beginArray();
    for (const Measure& m : kMeasures) {
        json.beginObject();
        json.key("key"), json.value(m.key);
        json.key("symbol"), json.value(m.symbol);
        json.key("name"), json.value(m.name);
        json.key("unit"), json.value(m.percent ? std::string_view("%") : m.unit);
        json.key("percent"), json.value(m.percent);
        json.key("meaning"), json.value(m.meaning);
        json.endObject();
    }
    json.endArray();
}

// --- The address ---------------------------------------------------------------

std::string Decoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto hex = [&text](std::size_t k) -> int {
            if (k >= text.size()) {
                return -1;
            }
            const char h = text[k];
            return h >= '0' && h <= '9'   ? h - '0'
                   : h >= 'a' && h <= 'f' ? h - 'a' + 10
                   : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                          : -1;
        };
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && hex(i + 1) >= 0 && hex(i + 2) >= 0) {
            out += static_cast<char>(hex(i + 1) * 16 + hex(i + 2));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<int> WholeFrom(std::string_view text, int low, int high)
{
    const std::optional<std::uint64_t> value = DigitsNumber(text);
    if (!value || *value < static_cast<std::uint64_t>(low) || *value > static_cast<std::uint64_t>(high)) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<double> RateFrom(std::string_view text)
{
    const std::optional<double> rate = StrictNumber(text);
    return rate && *rate >= kLowestRate && *rate <= kRateCeiling ? rate : std::nullopt;
}

}  // namespace

Page::Page(std::uint64_t seed) : random_(seed), seed_(seed)
{
    form_.sim.showMessage = [this](std::string_view text) { messages_.emplace_back(text); };
    FormLoad(form_);
    // Start-up seeded the sequence from the clock; the page's seed, which its
    // address shares, replaces it.
    form_.sim.random = &random_;
}

std::string Page::LayoutJson()
{
    JsonWriter json;
    json.beginObject();
    json.key("size"), Numbers(json, {double(layout::kClientSize.width), double(layout::kClientSize.height)});
    json.key("background"), Colour(json, kLightGrey);
    json.key("name"), json.value(std::string_view(WAITLINE_NAME));
    json.key("version"), json.value(std::string_view(WAITLINE_VERSION));
    json.key("tickMs"), json.value(kTickMs);
    LabelsJson(json);
    DrawingJson(json);
    ControlsJson(json);
    ExplanationsJson(json);
    SpeedsAndMeasuresJson(json);
    json.endObject();
    return json.text();
}

std::string Page::stateJson()
{
    const Simulation& sim = form_.sim;
    const DisplayModel& d = sim.display;
    JsonWriter json;
    json.beginObject();
    json.key("labels");
    json.beginObject();
    for (const layout::LabelRow& row : layout::kValueLabels) {
        // A hidden label's caption shows nothing: the hidden hundredths clock
        // changes every tick, the picture does not.
        const Label& label = d.*row.shows;
        json.key(row.name);
        json.beginArray();
        json.value(label.visible ? std::string_view(label.caption) : std::string_view()), json.value(label.visible);
        json.endArray();
    }
    json.endObject();
    json.key("buttons");
    json.beginObject();
    for (const ButtonControl& b : kButtonControls) {
        json.key(b.name), json.value(d.*b.caption);
    }
    json.endObject();
    json.key("combos");
    json.beginObject();
    for (const ComboControl& c : kComboControls) {
        const ComboBox& box = d.*c.field;
        json.key(c.name);
        json.beginObject();
        json.key("text"), json.value(box.text);
        json.key("list");
        json.beginArray();
        for (const std::string& entry : box.list) {
            json.value(entry);
        }
        json.endArray();
        json.endObject();
    }
    json.endObject();
    json.key("boxes");
    json.beginArray();
    for (const bool shown : d.drawing.boxQueue) {
        json.value(shown);
    }
    json.endArray();
    json.key("servers");
    json.beginArray();
    for (const auto& lines : d.drawing.serverLines) {
        json.beginArray();
        for (const bool shown : lines) {
            json.value(shown);
        }
        json.endArray();
    }
    json.endArray();
    json.key("fifo"), Numbers(json, {d.drawing.shpFIFOTop, d.drawing.shpFIFOHeight});
    json.key("arrivalEnd"), json.value(static_cast<double>(d.drawing.Line12Y2));
    // Each packet shown: index, left, top and its colour.
    json.key("packets");
    json.beginArray();
    for (int i = 0; i <= MaxPacket; ++i) {
        const Packet& p = sim.packets[i];
        if (p.Visible) {
            Numbers(json, {double(i), double(p.Left), double(p.Top), double(p.FillColor.r), double(p.FillColor.g),
                           double(p.FillColor.b)});
        }
    }
    json.endArray();
    const TickPacing pacing = Pacing(speed_, d.TimerMove.Interval);
    json.key("move"), Numbers(json, {d.TimerMove.Enabled ? 1.0 : 0.0, double(pacing.timerInterval)});
    json.key("check"), Numbers(json, {d.TimerCheck.Enabled ? 1.0 : 0.0, double(d.TimerCheck.Interval)});
    json.key("paused"), json.value(IsPaused(form_));
    json.key("running"), json.value(sim.Running);
    json.key("speed"), json.value(static_cast<int>(SpeedIndex(speed_)));
    json.key("queueWords"), json.value(DescribeQueue(CountQueue(sim)));
    json.key("messages");
    json.beginArray();
    for (const std::string& message : messages_) {
        json.value(message);
    }
    json.endArray();
    messages_.clear();
    shownDisplay_ = d;
    shownPaused_ = IsPaused(form_);
    shownSpeed_ = speed_;
    const SeriesSettings s = SettingsInUse(sim);
    json.key("address"),
        json.value("arrival=" + std::string(s.arrival) + "&service=" + std::string(s.service) +
                   "&arrival-rate=" + DecimalText(s.arrivalRate) + "&service-rate=" + DecimalText(s.serviceRate) +
                   "&servers=" + NumberToText(s.servers) + "&queue-length=" + NumberToText(s.queueLength) +
                   "&seed=" + std::to_string(seed_));
    json.endObject();
    return json.text();
}

bool Page::stateChanged() const
{
    return !messages_.empty() || shownPaused_ != IsPaused(form_) || shownSpeed_ != speed_ ||
           !(shownDisplay_ == form_.sim.display);
}

const float* Page::packets()
{
    packets_.assign(1, 0.0F);
    for (int i = 0; i <= MaxPacket; ++i) {
        const Packet& p = form_.sim.packets[i];
        if (p.Visible) {
            packets_.insert(packets_.end(), {static_cast<float>(i), p.Left, p.Top, float(p.FillColor.r),
                                             float(p.FillColor.g), float(p.FillColor.b)});
            packets_[0] += 1.0F;
        }
    }
    return packets_.data();
}

std::string Page::analysisJson() const
{
    const SeriesSettings& s = record_.settings();
    const TheoryAnswer theory =
        ExactTheory(s.arrival, s.service, QueueSettings{s.arrivalRate, s.serviceRate, s.servers, s.queueLength});
    const SeriesMeasures measures = record_.measures();
    JsonWriter json;
    json.beginObject();
    json.key("queue"), json.value(KendallNotation(s.arrival, s.service, s.servers, s.queueLength));
    json.key("load"), json.value(s.arrivalRate / (s.servers * s.serviceRate));
    json.key("theoryReason"), json.value(theory.reason);
    json.key("elapsed"), json.value(measures.elapsed);
    json.key("rows");
    json.beginArray();
    for (const Measure& m : kMeasures) {
        json.beginObject();
        json.key("simulated"), json.value(measures.values.*m.simulated);
        if (m.interval != nullptr) {
            const std::optional<ConfidenceInterval>& ci = measures.intervals.*m.interval;
            json.key("interval");
            if (ci) {
                Numbers(json, {ci->low, ci->high});
            } else {
                json.value(false);
            }
        }
        if (theory.theory) {
            json.key("theory"), json.value((*theory.theory).*m.theory);
        }
        json.endObject();
    }
    json.endArray();
    // The running mean time in the system: time, mean, and the band's ends
    // where there is one.
    json.key("meanTime");
    json.beginArray();
    for (const SeriesRow& row : record_.rows()) {
        if (row.meanTimeBand) {
            Numbers(json, {row.time, row.meanTimeInSystem, row.meanTimeBand->low, row.meanTimeBand->high});
        } else {
            Numbers(json, {row.time, row.meanTimeInSystem});
        }
    }
    json.endArray();
    if (theory.theory) {
        json.key("theoryTime"), json.value(theory.theory->meanTimeInSystem);
    }
    json.endObject();
    return json.text();
}

std::string Page::readAddress(std::string_view query)
{
    SeriesSettings s = SettingsInUse(form_.sim);
    std::vector<std::string> notices;
    const auto refuse = [&notices](std::string_view name, std::string_view value, std::string_view allowed) {
        notices.push_back(WAITLINE_TR("Page", "The address gives ") + std::string(name) + " \u2018" +
                          std::string(value) + WAITLINE_TR("Page", "\u2019, but it must be ") + std::string(allowed) +
                          WAITLINE_TR("Page", ": the default is used."));
    };
    const std::string rates = DecimalText(kLowestRate) + WAITLINE_TR("Page", " to ") + NumberToText(kRateCeiling);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        const std::string name = Decoded(pair.substr(0, equals));
        const std::string value = equals == std::string_view::npos ? std::string() : Decoded(pair.substr(equals + 1));
        if (name == "arrival" || name == "service") {
            const std::optional<Distribution> d = DistributionNamed(value);
            if (d) {
                (name == "arrival" ? s.arrival : s.service) = DistributionName(*d);
            } else {
                refuse(name, value, WAITLINE_TR("Page", "a distribution the boxes list"));
            }
        } else if (name == "arrival-rate" || name == "service-rate") {
            const std::optional<double> rate = RateFrom(value);
            if (rate) {
                (name == "arrival-rate" ? s.arrivalRate : s.serviceRate) = *rate;
            } else {
                refuse(name, value, WAITLINE_TR("Page", "a number from ") + rates);
            }
        } else if (name == "servers" || name == "queue-length") {
            const int most = name == "servers" ? MaxServers : MaxQueueLength;
            const std::optional<int> whole = WholeFrom(value, 1, most);
            if (whole) {
                (name == "servers" ? s.servers : s.queueLength) = *whole;
            } else {
                refuse(name, value, WAITLINE_TR("Page", "a whole number from 1 to ") + NumberToText(most));
            }
        } else if (name == "seed") {
            const std::optional<std::uint64_t> seed = DigitsNumber(value);
            if (seed) {
                seed_ = *seed;
                random_.seed(seed_);
            } else {
                refuse(name, value, WAITLINE_TR("Page", "a whole number of 0 or more"));
            }
        } else {
            notices.push_back(WAITLINE_TR("Page", "The address names \u2018") + name +
                              WAITLINE_TR("Page", "\u2019, which is no setting: it is left out."));
        }
    }
    if (s.servers > s.queueLength) {
        notices.push_back(WAITLINE_TR("Page", "The address gives more servers than places: one server is used."));
        s.servers = 1;
    }
    ApplySettings(form_, s);
    JsonWriter json;
    json.beginArray();
    for (const std::string& notice : notices) {
        json.value(notice);
    }
    json.endArray();
    return json.text();
}

bool Page::typeText(ComboId id, std::string_view text) { return TypeText(form_, id, text); }

bool Page::chooseEntry(ComboId id, std::string_view entry) { return ChooseEntry(form_, id, entry); }

void Page::click(ButtonId id) { Click(form_, id); }

int Page::moveEvent()
{
    const int ticks = Pacing(speed_, form_.sim.display.TimerMove.Interval).ticksPerEvent;
    const std::size_t messagesBefore = messages_.size();
    int delivered = 0;
    // The ticks still owed after a message belong to the time before its box
    // was closed, as in the desktop window.
    while (delivered < ticks && messages_.size() == messagesBefore && DeliverTimerMove(form_)) {
        ++delivered;
    }
    return delivered;
}

bool Page::checkEvent() { return DeliverTimerCheck(form_); }

bool Page::step() { return StepOneTick(form_); }

void Page::followRun(bool open)
{
    form_.record = open ? &record_ : nullptr;
    if (open) {
        record_.restart(form_.sim);
    }
}

}  // namespace waitline::web
