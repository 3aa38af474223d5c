#pragma once

#include <array>
#include <cstdint>
#include <string>
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

struct Label {
    std::string caption;
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

    Label lblTime{"0000"};
    Label lblSeconds{"Time"};
    Label lblPacketsSourced{"0"};
    Label lblPacketsServiced{"0"};
    Label lblPacketsLost{"0"};
    Label lblPercentDropped{"0"};
    Label lblMeanWaitingTime{"0"};
    Label lblStdDevWaitingTime{"0"};
    Label lblMeanPktsInQueue{"0"};

    QueueDrawing drawing;
    friend bool operator==(const DisplayModel&, const DisplayModel&) = default;
};

}  // namespace waitline
