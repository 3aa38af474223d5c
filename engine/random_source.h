#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <stdexcept>

namespace waitline {

// The one pseudo-random sequence the program shares: interval draws and
// packet colours take their values from it in the order the calls happen.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A Single uniform in [0, 1): 0 may come, 1 never does.
    virtual float nextSingle() = 0;
};

// The program's own generator. It builds each value from 24 random bits, so
// every value is an exact Single below 1.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : generator_(seed) {}
    static std::uint64_t seedFromClock();
    void seed(std::uint64_t seed) { generator_.seed(seed); }
    float nextSingle() override;

private:
    std::mt19937_64 generator_;
};

// A sequence that tests and scripts control: scripted values in order, or the
// program's own generator with a chosen seed. Values not yet used are kept
// while the seeded generator is the source.
class ScriptedRandom final : public RandomSource {
public:
    struct Exhausted : std::runtime_error {
        Exhausted() : std::runtime_error("random sequence exhausted") {}
    };

    // Appends values and makes the scripted values the source again.
    void append(float value);
    void useSeed(std::uint64_t seed);
    float nextSingle() override;
    std::size_t remaining() const { return script_.size(); }

private:
    std::deque<float> script_;
    SeededRandom seeded_{0};
    bool useSeeded_ = false;
};

}  // namespace waitline
