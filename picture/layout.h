#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "engine/controls.h"
#include "engine/display_model.h"
#include "engine/geometry.h"
#include "engine/simulation.h"
#include "engine/translatable.h"
#include "picture/colours.h"
#include "picture/shapes.h"
#include "picture/text_style.h"

// The main window's layout as data: where every control and drawn item lies,
// how it looks, and which items cover which. The queue column's own places
// come from the engine's geometry, which the model moves packets by. Plain
// data, so that every front-end draws the same picture from it.
namespace waitline::layout {

using picture::Align;
using picture::Line;
using picture::Rect;
using picture::RectF;
using picture::Rgb;

inline constexpr picture::Size kClientSize{792, 567};

// --- Stacking ----------------------------------------------------------------
//
// Every drawn item lies in a layer of its own and covers the items of every
// lower layer. The funnel, the bin and most labels lie at the back, in the
// layers 0 to 24 their rows give; the bands above them follow.

// The exit lines, LineOut j at kExitLineLayer + 2j; the arrival line lies
// between exit lines 0 and 1, and the percentage dropped over them all.
inline constexpr int kExitLineLayer = 25;
inline constexpr int kArrivalLineLayer = kExitLineLayer + 1;
inline constexpr int kDroppedLayer = kExitLineLayer + 2 * MaxServers - 1;
// Then the queue boxes, then the servers' arrows of four lines each, then
// the packets, so that a packet covers every line and label it passes.
inline constexpr int kArrowLines = kServerLineCount - 1;
inline constexpr int kBoxLayer = kDroppedLayer + 1;
inline constexpr int kServerLayer = kBoxLayer + MaxQueueLength + 1;
inline constexpr int kPacketLayer = kServerLayer + kArrowLines * MaxServers;
// Over the packets: the clock's two labels, and the column's outline, which
// stays whole while a packet drops through its top edge.
inline constexpr int kTopLayer = kPacketLayer + MaxPacket + 1;

// The layers of a control array: member i lies in layer first + step * i.
struct Layers {
    int first;
    int step;
    constexpr int at(int index) const { return first + step * index; }
};

// --- Labels ------------------------------------------------------------------

inline constexpr TextStyle kSans16{LayoutFace::SansSerif, 16, false};
inline constexpr TextStyle kSans16Bold{LayoutFace::SansSerif, 16, true};
inline constexpr TextStyle kSans22{LayoutFace::SansSerif, 22, false};
inline constexpr TextStyle kSans22Bold{LayoutFace::SansSerif, 22, true};
inline constexpr TextStyle kSans26Bold{LayoutFace::SansSerif, 26, true};
inline constexpr TextStyle kSerif31{LayoutFace::Serif, 31, false};

inline constexpr Align kLeft = Align::Left;
inline constexpr Align kRight = Align::Right;
inline constexpr Align kCentre = Align::Centre;

struct LabelRow {
    const char* name;
    Rect place;
    Align align;
    TextStyle style;
    int layer;
    const char* caption;         // a fixed label's text
    Label DisplayModel::*shows;  // the model's label a value label shows
};

inline constexpr std::array<LabelRow, 13> kFixedLabels{{
    {"Label1", {344, 28, 225, 33}, kRight, kSans22, 3, WAITLINE_TR("Layout", "Arrival Distribution"), nullptr},
    {"Label2", {408, 68, 161, 33}, kRight, kSans22, 4, WAITLINE_TR("Layout", "Arrival Rate"), nullptr},
    {"Label6", {672, 68, 113, 25}, kLeft, kSans22, 5, WAITLINE_TR("Layout", "pkts / sec"), nullptr},
    {"Label21", {360, 108, 209, 33}, kRight, kSans22, 21, WAITLINE_TR("Layout", "Queue Length"), nullptr},
    {"l_PercentDrop", {408, 176, 249, 33}, kLeft, kSans22, 16, WAITLINE_TR("Layout", "Percentage Dropped"), nullptr},
    {"Label7", {408, 208, 225, 33}, kRight, kSans22, 9, WAITLINE_TR("Layout", "Mean Waiting Time"), nullptr},
    {"Label18", {368, 240, 265, 33}, kRight, kSans22, 18, WAITLINE_TR("Layout", "Std.Dev. Waiting Time"), nullptr},
    {"Label23", {368, 272, 265, 25}, kRight, kSans22, 23, WAITLINE_TR("Layout", "Mean Packets In Queue"), nullptr},
    {"Label24", {48, 464, 57, 32}, kLeft, kSerif31, 24, WAITLINE_TR("Layout", "Lost"), nullptr},
    // Above the serviced count, whose box reaches into its top: under it, the
    // tops of the caption's first letters were cut off.
    {"Label5", {320, 488, 281, 25}, kRight, kSans22, 15, WAITLINE_TR("Layout", "Service Time Distribution"), nullptr},
    {"Label20", {136, 528, 241, 33}, kRight, kSans22, 20, WAITLINE_TR("Layout", "No of Servers"), nullptr},
    {"Label4", {432, 528, 161, 25}, kRight, kSans22, 7, WAITLINE_TR("Layout", "Service Rate"), nullptr},
    {"Label3", {680, 528, 113, 33}, kLeft, kSans22, 6, WAITLINE_TR("Layout", "pkts / sec"), nullptr},
}};

inline constexpr std::array<LabelRow, 9> kValueLabels{{
    {"lblTime", {8, 8, 81, 17}, kLeft, kSans16Bold, kTopLayer + 2, "", &DisplayModel::lblTime},
    {"lblSeconds", {0, 0, 113, 33}, kLeft, kSans16, kTopLayer, "", &DisplayModel::lblSeconds},
    {"lblPacketsSourced", {8, 48, 129, 41}, kRight, kSans26Bold, 14, "", &DisplayModel::lblPacketsSourced},
    {"lblPacketsServiced", {280, 456, 137, 41}, kLeft, kSans26Bold, 8, "", &DisplayModel::lblPacketsServiced},
    {"lblPacketsLost", {8, 512, 129, 41}, kCentre, kSans26Bold, 13, "", &DisplayModel::lblPacketsLost},
    {"lblPercentDropped", {648, 176, 129, 25}, kLeft, kSans22, kDroppedLayer, "", &DisplayModel::lblPercentDropped},
    {"lblMeanWaitingTime", {648, 208, 129, 25}, kLeft, kSans22, 17, "", &DisplayModel::lblMeanWaitingTime},
    {"lblStdDevWaitingTime", {648, 240, 129, 25}, kLeft, kSans22, 19, "", &DisplayModel::lblStdDevWaitingTime},
    {"lblMeanPktsInQueue", {648, 272, 129, 25}, kLeft, kSans22, 22, "", &DisplayModel::lblMeanPktsInQueue},
}};

// --- Lines and outlines ------------------------------------------------------

struct LineRow {
    const char* name;
    Line line;
    Rgb color;
    int width;
    int layer;
};

// The source funnel (Line1..3) and the lost bin (Line4..6).
inline constexpr std::array<LineRow, 6> kFunnelAndBin{{
    {"Line1", {120, 24, 160, 64}, kPurple, 4, 0},
    {"Line2", {272, 64, 160, 64}, kPurple, 4, 1},
    {"Line3", {272, 64, 320, 24}, kPurple, 4, 2},
    {"Line4", {112, 504, 128, 464}, kPurple, 4, 10},
    {"Line5", {112, 504, 32, 504}, kPurple, 4, 11},
    {"Line6", {16, 464, 32, 504}, kPurple, 4, 12},
}};

// The picture before the model first shows its queue drawing.
inline constexpr QueueDrawing kStartDrawing{};

// The arrival line runs from under the funnel down the column's middle pixel
// column to the outline's top edge, which the model moves with the queue
// length.
inline constexpr int kColumnMiddleX = geometry::kColumnOutlineLeft + geometry::kColumnOutlineWidth / 2;
inline constexpr LineRow kArrivalLine{
    "Line12", {kColumnMiddleX, 72, kColumnMiddleX, kStartDrawing.Line12Y2}, kBlack, 1, kArrivalLineLayer};

struct OutlineRow {
    const char* name;
    RectF rect;
    Rgb color;
    int width;
    int layer;
};

// The outline around the queue column; the model moves its top edge.
inline constexpr OutlineRow kColumnOutline{"shpFIFO",
                                           {geometry::kColumnOutlineLeft, kStartDrawing.shpFIFOTop,
                                            geometry::kColumnOutlineWidth, kStartDrawing.shpFIFOHeight},
                                           kBlue,
                                           2,
                                           kTopLayer + 1};

// --- Control arrays ----------------------------------------------------------

// Members of a control array are named with their index appended:
// "boxQueue3", "LineOut0".
inline std::string MemberName(const char* array, int index) { return array + std::to_string(index); }

// boxQueue j outlines queue place j, from place 0 at the bottom up.
struct BoxArrayRow {
    const char* name;
    int count;
    Rgb color;
    int width;
    Layers layers;
};
inline constexpr BoxArrayRow kQueueBoxes{"boxQueue", MaxQueueLength + 1, kBlack, 2, {kBoxLayer, 1}};

constexpr RectF QueueBoxRect(int j)
{
    return {geometry::kBoxLeft, static_cast<double>(geometry::BoxTop(j)), geometry::kBoxWidth, geometry::kBoxHeight};
}

// Server j is drawn by five black lines on the centre line of place j's box:
// its exit line, and an arrow whose upright bar lies under the column
// outline's right edge. x counts from that edge and y from the centre line.
struct ServerLineRow {
    const char* name;
    Line line;
    int width;
    // Server 0's arrow sits one pixel further left than the others.
    bool shiftedBeyondServer0;
    Layers layers;
};

inline constexpr int kServerX = geometry::kColumnOutlineLeft + geometry::kColumnOutlineWidth - 1;

// In the order of ServerLine.
inline constexpr std::array<ServerLineRow, kServerLineCount> kServerLines{{
    {"LineOut", {88, 0, 496, 0}, 1, false, {kExitLineLayer, 2}},
    {"linServerLeft", {-1, -12, -1, 12}, 2, true, {kServerLayer, kArrowLines}},
    {"linServer", {0, 0, 80, 0}, 4, true, {kServerLayer + 1, kArrowLines}},
    {"linServerTop", {82, 0, 70, -12}, 2, true, {kServerLayer + 2, kArrowLines}},
    {"linServerBottom", {82, 0, 70, 12}, 2, true, {kServerLayer + 3, kArrowLines}},
}};

constexpr Line ServerLineAt(const ServerLineRow& row, int j)
{
    const int dx = row.shiftedBeyondServer0 && j > 0 ? 1 : 0;
    return row.line.translated(kServerX + dx, geometry::ServerLineY(j));
}

// sPacket i shows the model's packet i.
struct PacketArrayRow {
    const char* name;
    int count;
    int outlineWidth;
    Layers layers;
};
inline constexpr PacketArrayRow kPackets{"sPacket", MaxPacket + 1, 3, {kPacketLayer, 1}};

inline constexpr std::size_t kDrawnItemCount =
    kFixedLabels.size() + kValueLabels.size() + kFunnelAndBin.size() + 2 +
    static_cast<std::size_t>(kQueueBoxes.count + kServerLineCount * MaxServers + kPackets.count);

// Two items in one layer would be stacked by the order they happen to be
// built in.
constexpr bool LayersAreDistinct()
{
    std::array<int, kDrawnItemCount> layers{};
    std::size_t n = 0;
    for (const LabelRow& row : kFixedLabels) {
        layers[n++] = row.layer;
    }
    for (const LabelRow& row : kValueLabels) {
        layers[n++] = row.layer;
    }
    for (const LineRow& row : kFunnelAndBin) {
        layers[n++] = row.layer;
    }
    layers[n++] = kArrivalLine.layer;
    layers[n++] = kColumnOutline.layer;
    for (int j = 0; j < kQueueBoxes.count; ++j) {
        layers[n++] = kQueueBoxes.layers.at(j);
    }
    for (const ServerLineRow& row : kServerLines) {
        for (int j = 0; j < MaxServers; ++j) {
            layers[n++] = row.layers.at(j);
        }
    }
    for (int i = 0; i < kPackets.count; ++i) {
        layers[n++] = kPackets.layers.at(i);
    }
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (layers[a] == layers[b]) {
                return false;
            }
        }
    }
    return n == kDrawnItemCount;
}
static_assert(LayersAreDistinct());

// --- Controls ----------------------------------------------------------------

inline constexpr TextStyle kButtonStyle = kSans22Bold;
inline constexpr TextStyle kComboStyle = kSans22;
// Rows an opened combo box list shows before it scrolls.
inline constexpr int kComboListRows = 12;

struct ButtonPlace {
    ButtonId id;
    Rect place;
};
// In the order of ButtonId.
inline constexpr std::array<ButtonPlace, kButtonControls.size()> kButtonPlaces{{
    {ButtonId::StartButton, {160, 16, 113, 41}},
    {ButtonId::PauseButton, {16, 96, 129, 41}},
}};

struct ComboPlace {
    ComboId id;
    Rect place;
};
// In the order of ComboId. The boxes are all 37 px tall when closed.
inline constexpr std::array<ComboPlace, kComboControls.size()> kComboPlaces{{
    {ComboId::SourceCombo, {576, 24, 161, 37}},
    {ComboId::ArrivalCombo, {576, 64, 89, 37}},
    {ComboId::QueueCombo, {576, 104, 73, 37}},
    {ComboId::ServiceCombo, {616, 484, 161, 37}},
    {ComboId::ServerCombo, {384, 524, 57, 37}},
    {ComboId::ServeRateCombo, {600, 524, 73, 37}},
}};

}  // namespace waitline::layout
