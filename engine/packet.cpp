#include "engine/packet.h"

namespace waitline {

std::string_view ToText(Pkt state)
{
    switch (state) {
    case Pkt::Off: return "Off";
    case Pkt::Dropping: return "Dropping";
    case Pkt::LeftFast: return "LeftFast";
    case Pkt::DropFast: return "DropFast";
    case Pkt::Queueing: return "Queueing";
    case Pkt::Serving: return "Serving";
    case Pkt::Right: return "Right";
    }
    return "Off";
}

std::string_view ToText(Slot state) { return state == Slot::Full ? "Full" : "Empty"; }

}  // namespace waitline
