#include "picture/queue_words.h"

#include "engine/translatable.h"

namespace waitline {

QueueCount CountQueue(const Simulation& sim)
{
    QueueCount count;
    count.places = sim.QueueLength;
    // Every place up to the highest counts: after the user shortens the queue,
    // packets above its new top still hold theirs until they come down.
    for (int j = 0; j <= MaxQueueLength; ++j) {
        const QueueSlot& slot = sim.slots[j];
        if (slot.SlotState != Slot::Full) {
            continue;
        }
        ++count.taken;
        if (slot.SlotPacket >= 0 && sim.packets[slot.SlotPacket].PacketState == Pkt::Serving) {
            ++count.serving;
        }
    }
    return count;
}

std::string DescribeQueue(const QueueCount& count)
{
    std::string text = std::to_string(count.taken) + WAITLINE_TR("QueueWords", " of ") + std::to_string(count.places);
    text +=
        count.places == 1 ? WAITLINE_TR("QueueWords", " place taken, ") : WAITLINE_TR("QueueWords", " places taken, ");
    text += std::to_string(count.serving) + WAITLINE_TR("QueueWords", " in service");
    return text;
}

}  // namespace waitline
