#pragma once
// The random draws of one evolution: uniform single-precision values r with 0 <= r < 1.
// Each evolution has its own stream, derived from the run's seed and the evolution's
// number, so a seed gives the same matrices whether evolutions run on one thread or many.
// xoshiro256** seeded through splitmix64.

#include <cstdint>

class RandomStream {
public:
    RandomStream(uint64_t seed, uint64_t streamNumber);

    // One draw: the top 24 bits of the next output, so every value is exact in single precision.
    float NextSingle() { return static_cast<float>(NextBits()) * 0x1.0p-24f; }

    // A random index in a..b: floor((b - a + 1) * r + a). With r = k / 2^24 this is exactly
    // a + ((b - a + 1) * k) / 2^24 in whole numbers, which can never reach b + 1 (computed in
    // single precision, a draw just below 1 could).
    int32_t RandomIndex(int32_t a, int32_t b) { return IndexFromBits(NextBits(), a, b); }

    // The same index for a draw r given as a value (a multiple of 2^-24 below 1).
    static int32_t IndexFromDraw(float r, int32_t a, int32_t b)
    {
        return IndexFromBits(static_cast<uint32_t>(r * 0x1.0p24f), a, b);
    }

    // A seed taken from the system clock, for runs that need not be repeated.
    static uint64_t ClockSeed();

private:
    uint32_t NextBits() { return static_cast<uint32_t>(Next() >> 40); }

    static int32_t IndexFromBits(uint32_t k, int32_t a, int32_t b)
    {
        const auto size = static_cast<uint64_t>(static_cast<int64_t>(b) - a + 1);
        return a + static_cast<int32_t>((size * k) >> 24);
    }

    uint64_t Next()
    {
        const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
        const uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 45);
        return result;
    }
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    uint64_t s_[4];
};
