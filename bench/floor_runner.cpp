// The floor: the least a tick can cost that moves packets across the same
// picture as the demo. Exponential arrivals appear under the funnel and drop
// 16 px a tick to the entry place; a packet that finds a place takes the
// lowest free one and is served by one of the bottom places, then jumps right
// and leaves 16 px a tick; one that finds every place taken moves left,
// falls down the left edge and is lost in the bin. No captions, statistics,
// texts or settings boxes: only the packets that are in play are visited.
//
//   floor_runner light|heavy|batch-heavy TICKS
//
// The loads are tick_runner's, and so is the warm-up of 3000 ticks after a
// seed of 1. Instructions per tick = (count with TICKS = N - count with
// TICKS = 0) / N, under callgrind, as for tick_runner.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>

#include "engine/display_model.h"
#include "engine/geometry.h"

namespace {

// The picture, in pixels: the demo's own column, places, edges and steps.
using waitline::kTickMs;
using waitline::geometry::kBottomEdge;
using waitline::geometry::kColumnLeft;
using waitline::geometry::kDropStep;
using waitline::geometry::kExitJump;
using waitline::geometry::kFallColumn;
using waitline::geometry::kFallStep;
using waitline::geometry::kLeftEdge;
using waitline::geometry::kLeftStep;
using waitline::geometry::kPlacePitch;
using waitline::geometry::kRightEdge;
using waitline::geometry::kRightStep;
using waitline::geometry::kStartTop;
using waitline::geometry::PlaceTop;

enum class State : std::uint8_t { Dropping, Waiting, Serving, Left, Falling, Right };

struct Packet {
    float left = 0.0F;
    float top = 0.0F;
    std::int32_t serviceLeft = 0;
    State state = State::Dropping;
};

struct Load {
    double arrivalRate;
    double serviceRate;
    int servers;
    int places;
};

class Floor {
public:
    Floor(const Load& load, std::uint64_t seed)
        : arrivalMeanMs_(1000.0 / load.arrivalRate), serviceMeanMs_(1000.0 / load.serviceRate), servers_(load.servers),
          places_(load.places), random_(seed)
    {
        for (int i = 0; i < kPackets; ++i) {
            free_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(kPackets - 1 - i);
        }
        freeCount_ = kPackets;
        countdown_ = draw(arrivalMeanMs_);
    }

    void tick()
    {
        // As in the demo, a countdown that has run out brings its packet in
        // the next tick.
        if (countdown_ > 0) {
            countdown_ -= kTickMs;
        } else {
            arrive();
            countdown_ += draw(arrivalMeanMs_);
        }
        bool departed = false;
        for (int k = 0; k < inPlayCount_;) {
            const int i = inPlay_[static_cast<std::size_t>(k)];
            if (step(i, departed)) {
                ++k;
            } else {
                inPlay_[static_cast<std::size_t>(k)] = inPlay_[static_cast<std::size_t>(--inPlayCount_)];
                ++gone_;
                free_[static_cast<std::size_t>(freeCount_++)] = static_cast<std::uint8_t>(i);
            }
        }
        if (departed) {
            closeUp();
        }
    }

    // Every packet sourced has left the picture or is still in play, and every
    // packet lost has left it.
    bool booksBalance() const { return sourced_ == gone_ + inPlayCount_ && lost_ <= gone_ && served_ + lost_ >= gone_; }
    long sourced() const { return sourced_; }
    long served() const { return served_; }
    long lost() const { return lost_; }

private:
    static constexpr int kPackets = 64;
    static constexpr int kNoPacket = 0xFF;

    std::int32_t draw(double meanMs)
    {
        const double u = std::generate_canonical<double, 24>(random_);
        return static_cast<std::int32_t>(std::lround(-std::log(1.0 - u) * meanMs));
    }

    void arrive()
    {
        ++sourced_;
        if (freeCount_ == 0) {
            return;  // never at these loads: 64 packets cover any of them
        }
        const int i = free_[static_cast<std::size_t>(--freeCount_)];
        packets_[static_cast<std::size_t>(i)] = Packet{kColumnLeft, kStartTop, 0, State::Dropping};
        inPlay_[static_cast<std::size_t>(inPlayCount_++)] = static_cast<std::uint8_t>(i);
    }

    // One step of packet i; false once it has left the picture.
    bool step(int i, bool& departed)
    {
        Packet& p = packets_[static_cast<std::size_t>(i)];
        switch (p.state) {
        case State::Dropping:
            if (p.top < PlaceTop(places_)) {
                p.top += kDropStep;
            } else if (held_ < places_) {
                p.top = PlaceTop(held_);
                place_[static_cast<std::size_t>(held_)] = static_cast<std::uint8_t>(i);
                if (held_ < servers_) {
                    p.state = State::Serving;
                    p.serviceLeft = draw(serviceMeanMs_);
                } else {
                    p.state = State::Waiting;
                }
                ++held_;
            } else {
                p.state = State::Left;
            }
            return true;
        case State::Waiting: return true;
        case State::Serving:
            if (p.serviceLeft > 0) {
                p.serviceLeft -= kTickMs;
                return true;
            }
            p.state = State::Right;
            p.left += kExitJump;
            place_[static_cast<std::size_t>((PlaceTop(0) - p.top) / kPlacePitch)] = kNoPacket;
            ++served_;
            departed = true;
            return true;
        case State::Left:
            p.left -= kLeftStep;
            if (p.left < kLeftEdge) {
                p.state = State::Falling;
                p.left = kFallColumn;
            }
            return true;
        case State::Falling:
            p.top += kFallStep;
            if (p.top > kBottomEdge) {
                ++lost_;
                return false;
            }
            return true;
        case State::Right: p.left += kRightStep; return p.left <= kRightEdge;
        }
        return true;
    }

    // The packets above a place left free come down, and those that reach a
    // server begin their service.
    void closeUp()
    {
        int to = 0;
        for (int from = 0; from < held_; ++from) {
            const int i = place_[static_cast<std::size_t>(from)];
            if (i == kNoPacket) {
                continue;
            }
            if (to != from) {
                Packet& p = packets_[static_cast<std::size_t>(i)];
                place_[static_cast<std::size_t>(to)] = static_cast<std::uint8_t>(i);
                p.top = PlaceTop(to);
                if (to < servers_ && p.state == State::Waiting) {
                    p.state = State::Serving;
                    p.serviceLeft = draw(serviceMeanMs_);
                }
            }
            ++to;
        }
        held_ = to;
    }

    double arrivalMeanMs_;
    double serviceMeanMs_;
    int servers_;
    int places_;
    std::mt19937_64 random_;
    std::int32_t countdown_ = 0;

    std::array<Packet, kPackets> packets_{};
    std::array<std::uint8_t, kPackets> inPlay_{};  // the packets in play, in no particular order
    int inPlayCount_ = 0;
    std::array<std::uint8_t, kPackets> free_{};
    int freeCount_ = 0;
    std::array<std::uint8_t, 16> place_{};  // place j's packet; place 0 is the lowest
    int held_ = 0;

    long sourced_ = 0;
    long served_ = 0;
    long lost_ = 0;
    long gone_ = 0;  // off the right edge or into the bin
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: floor_runner light|heavy|batch-heavy TICKS\n", stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    Load load{1.0, 1.0, 1, 3};
    if (mode == "heavy") {
        load = Load{50.0, 50.0, 5, 10};
    } else if (mode == "batch-heavy") {
        load = Load{20.0, 5.0, 5, 10};
    } else if (mode != "light") {
        std::fputs("usage: floor_runner light|heavy|batch-heavy TICKS\n", stderr);
        return 2;
    }
    const long ticks = std::strtol(argv[2], nullptr, 10);
    Floor floor(load, 1);
    for (int k = 0; k < 3000; ++k) {
        floor.tick();
    }
    for (long k = 0; k < ticks; ++k) {
        floor.tick();
    }
    std::printf("%ld ticks, %ld packets sourced, %ld served, %ld lost\n", ticks, floor.sourced(), floor.served(),
                floor.lost());
    if (!floor.booksBalance()) {
        std::fputs("the books do not balance\n", stderr);
        return 1;
    }
    return 0;
}
