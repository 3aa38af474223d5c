#pragma once

// The queue column's geometry, in pixels of the window's client area (origin
// top left, y down). Where a packet stands is part of the model: which place
// it is level with, when it has left and when it is lost are decided from its
// coordinates. So the tick, the invariant checker, the controller's queue
// drawing and the window all take these values from here.
namespace waitline::geometry {

// From one queue place to the next one up.
inline constexpr float kPlacePitch = 32.0F;

// The Top of a packet that holds queue place j; place 0 is the lowest.
constexpr float PlaceTop(int j) { return 436.0F - kPlacePitch * static_cast<float>(j); }

// The Left of a packet in the column, from the source down to its place.
inline constexpr float kColumnLeft = 176.0F;

// The size of a packet.
inline constexpr int kPacketWidth = 81;
inline constexpr int kPacketHeight = 25;

// Queue place j's box: a packet holding the place stands 8 px right of and
// 4 px below the box's corner.
inline constexpr int kBoxLeft = 168;
inline constexpr int kBoxWidth = 97;
inline constexpr int kBoxHeight = 33;
constexpr int BoxTop(int j) { return static_cast<int>(PlaceTop(j)) - 4; }

// Server j and its exit line lie on the centre line of place j's box.
constexpr int ServerLineY(int j) { return BoxTop(j) + 16; }

// The blue outline around the column and the arrival line that ends on it:
// the outline's bottom edge is fixed, its top edge and the line's lower end
// follow the queue length.
inline constexpr int kColumnOutlineLeft = 160;
inline constexpr int kColumnOutlineWidth = 113;
inline constexpr float kColumnBottom = 473.0F;
constexpr float ColumnTop(int length) { return 456.0F - kPlacePitch * static_cast<float>(length); }
constexpr float ColumnHeight(int length) { return kColumnBottom - ColumnTop(length); }

// A served packet jumps this far right, off its server, onto the exit line.
inline constexpr float kExitJump = 128.0F;

// Where a packet starts, at the source, and how far it moves each tick: down
// the column, left to the bin's column once lost, down into the bin, and
// right along the exit line; beyond the edges it is gone.
inline constexpr float kStartTop = 52.0F;
inline constexpr float kDropStep = 16.0F;
inline constexpr float kLeftStep = 32.0F;
inline constexpr float kLeftEdge = 39.0F;
inline constexpr float kFallColumn = 32.0F;
inline constexpr float kFallStep = 32.0F;
inline constexpr float kBottomEdge = 456.0F;
inline constexpr float kRightStep = 16.0F;
inline constexpr float kRightEdge = 800.0F;

}  // namespace waitline::geometry
