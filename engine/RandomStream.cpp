#include "engine/RandomStream.h"

#include <chrono>

namespace {

uint64_t SplitMix64(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

RandomStream::RandomStream(uint64_t seed, uint64_t streamNumber)
{
    // Mix the seed and the stream number through two splitmix rounds so that neighbouring
    // streams start far apart, then fill the state from the mixed value.
    uint64_t mixer = seed;
    uint64_t state = SplitMix64(mixer);
    mixer = state ^ (streamNumber * 0xD1B54A32D192ED03ull);
    state = SplitMix64(mixer);
    for (uint64_t& word : s_)
        word = SplitMix64(state);
}

uint64_t RandomStream::ClockSeed()
{
    return static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}
