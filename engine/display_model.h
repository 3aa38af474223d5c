#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/translatable.h"

namespace waitline {

// The control properties the simulation and the window's handlers read and
// write, held as plain fields so that everything runs without a window. The
// window shows these values and forwards what the user does to them.

// The pause button's caption: what pressing it will do.
constexpr const char* PauseCaption(bool paused)
{
    return paused ? WAITLINE_TR("Controls", "Continue") : WAITLINE_TR("Controls", "Pause");
}

struct ComboBox {
    bool editable = false;
    std::string text;
    std::vector<std::string> list;
    friend bool operator==(const ComboBox&, const ComboBox&) = default;
};

// A label's text. The model may change a count, the clock or a statistic many
// times between two looks at the label (every tick, every packet), so the
// caption keeps the last number it was given and how to spell it, and spells
// the text when somebody reads it: the reader sees the text that number spells,
// as if it had been spelt when given. Reading from two threads at once is not
// safe, as for the rest of the model.
class Caption {
public:
    // How a number becomes a caption's text.
    using Spelling = void (*)(std::string& text, double value);

    Caption() = default;
    explicit Caption(const char* text) : text_(text) {}
    Caption(std::string text) : text_(std::move(text)) {}

    Caption& operator=(std::string_view text)
    {
        text_.assign(text);
        spelling_ = nullptr;
        return *this;
    }
    Caption& operator=(const std::string& text) { return *this = std::string_view(text); }
    Caption& operator=(const char* text) { return *this = std::string_view(text); }

    // Shows the value, spelt as `spelling` spells it once the text is read.
    void show(double value, Spelling spelling)
    {
        value_ = value;
        spelling_ = spelling;
    }

    const std::string& text() const
    {
        if (spelling_ != nullptr) {
            spelling_(text_, value_);
            spelling_ = nullptr;
        }
        return text_;
    }
    operator std::string_view() const { return text(); }

    friend bool operator==(const Caption& a, const Caption& b) { return a.text() == b.text(); }
    friend bool operator==(const Caption& a, std::string_view b) { return a.text() == b; }
    friend bool operator==(const Caption& a, const std::string& b) { return a.text() == b; }
    friend bool operator==(const Caption& a, const char* b) { return a.text() == b; }
    friend std::ostream& operator<<(std::ostream& out, const Caption& caption);

private:
    mutable std::string text_;
    double value_ = 0.0;
    // Set while text_ lags behind value_.
    mutable Spelling spelling_ = nullptr;
};

struct Label {
    Caption caption;
    bool visible = true;
    friend bool operator==(const Label&, const Label&) = default;
};

struct Timer {
    std::int32_t Interval = 0;  // milliseconds
    bool Enabled = false;
    friend bool operator==(const Timer&, const Timer&) = default;
};

// A tick: the move timer's interval, by which every tick advances simulated
// time, and so the demo's step in time.
inline constexpr std::int32_t kTickMs = 10;
inline constexpr int kTicksPerSecond = 1000 / kTickMs;
inline constexpr double kTickSeconds = kTickMs / 1000.0;

// The five lines that draw server j, in the order they are shown and hidden.
enum ServerLine : std::uint8_t { LineOut, linServerLeft, linServer, linServerTop, linServerBottom };
constexpr int kServerLineCount = 5;

// What the queue drawing changes: which boxes and server lines are shown, the
// blue outline's Top and Height, and the lower end of the arrival line.
struct QueueDrawing {
    std::array<bool, 11> boxQueue{true, true, true, true, true, true, true, true, true, true, true};
    std::array<std::array<bool, kServerLineCount>, 5> serverLines{{{true, true, true, true, true},
                                                                   {true, true, true, true, true},
                                                                   {true, true, true, true, true},
                                                                   {true, true, true, true, true},
                                                                   {true, true, true, true, true}}};
    float shpFIFOTop = 392.0F;
    float shpFIFOHeight = 81.0F;
    float Line12Y2 = 112.0F;
    friend bool operator==(const QueueDrawing&, const QueueDrawing&) = default;
};

struct DisplayModel {
    ComboBox SourceCombo{false, {}, {}};
    ComboBox ArrivalCombo{true, {}, {}};
    ComboBox QueueCombo{true, {}, {}};
    ComboBox ServiceCombo{false, {}, {}};
    ComboBox ServerCombo{true, {}, {}};
    ComboBox ServeRateCombo{true, {}, {}};

    // The captions of the two run-control buttons ("Go"/"Stop", "Pause"/"Continue");
    // Go/Stop is the run's state, the pause is Simulation::Paused.
    std::string StartButton = WAITLINE_TR("Controls", "Go");
    std::string PauseButton = PauseCaption(false);

    Timer TimerMove{kTickMs, true};
    Timer TimerCheck{1000, true};

    Label lblTime{Caption("0000")};
    Label lblSeconds{Caption("Time")};
    Label lblPacketsSourced{Caption("0")};
    Label lblPacketsServiced{Caption("0")};
    Label lblPacketsLost{Caption("0")};
    Label lblPercentDropped{Caption("0")};
    Label lblMeanWaitingTime{Caption("0")};
    Label lblStdDevWaitingTime{Caption("0")};
    Label lblMeanPktsInQueue{Caption("0")};

    QueueDrawing drawing;
    friend bool operator==(const DisplayModel&, const DisplayModel&) = default;
};

}  // namespace waitline
