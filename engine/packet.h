#pragma once

#include <cstdint>
#include <string_view>

namespace waitline {

// The life of a packet on screen, from its creation by the source to its
// leaving to the right or falling into the bin.
enum class Pkt : std::uint8_t { Off, Dropping, LeftFast, DropFast, Queueing, Serving, Right };

enum class Slot : std::uint8_t { Empty, Full };

std::string_view ToText(Pkt state);
std::string_view ToText(Slot state);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One packet: its rectangle on screen is part of the model, because the tick
// decides from its coordinates which queue place it is level with.
struct Packet {
    Pkt PacketState = Pkt::Off;
    float Left = 0.0F;
    float Top = 0.0F;
    bool Visible = false;
    Rgb FillColor{};
    std::int32_t ServiceLeft = 0;  // milliseconds of service still to give
    std::int32_t PacketAge = 0;    // milliseconds since the packet took the entry place
    // Its age when its service began: the time it waited for a server.
    std::int32_t WaitBeforeService = 0;
};

// One queue place. Place 0 is the head of the queue, next to the servers.
struct QueueSlot {
    Slot SlotState = Slot::Empty;
    std::int16_t SlotPacket = -1;
};

}  // namespace waitline
