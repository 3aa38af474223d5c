#include "engine/random_source.h"

#include <chrono>

namespace waitline {

std::uint64_t SeededRandom::seedFromClock()
{
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

float SeededRandom::nextSingle()
{
    constexpr float kTwoToMinus24 = 1.0F / 16777216.0F;
    const auto bits = static_cast<std::uint32_t>(generator_() >> 40U);  // top 24 bits
    return static_cast<float>(bits) * kTwoToMinus24;
}

void ScriptedRandom::append(float value)
{
    script_.push_back(value);
    useSeeded_ = false;
}

void ScriptedRandom::useSeed(std::uint64_t seed)
{
    seeded_.seed(seed);
    useSeeded_ = true;
}

float ScriptedRandom::nextSingle()
{
    if (useSeeded_) {
        return seeded_.nextSingle();
    }
    if (script_.empty()) {
        throw Exhausted();
    }
    const float value = script_.front();
    script_.pop_front();
    return value;
}

}  // namespace waitline
