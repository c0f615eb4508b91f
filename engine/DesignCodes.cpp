#include "engine/DesignCodes.h"

#include <algorithm>
#include <unordered_set>

void DesignCodes::PrepareCodes()
{
    const int32_t F = lNumFactors;
    levels.assign(static_cast<size_t>(F), 0);
    levelOffset.assign(static_cast<size_t>(F) + 1, 0);
    maxLevels = 0;
    for (int32_t f = 0; f < F; ++f) {
        levels[f] = atFactors[f].lNumLevels;
        levelOffset[f + 1] = levelOffset[f] + levels[f];
        maxLevels = std::max(maxLevels, levels[f]);
    }
    const int32_t totalLevels = levelOffset[F];
    levelFactor.assign(static_cast<size_t>(totalLevels), 0);
    for (int32_t f = 0; f < F; ++f)
        std::fill(levelFactor.begin() + levelOffset[f], levelFactor.begin() + levelOffset[f + 1], f);

    levelWords = (totalLevels + 63) / 64;
    excludedBits.assign(static_cast<size_t>(totalLevels) * levelWords, 0);
    const auto exclude = [this](int32_t a, int32_t b) {
        excludedBits[static_cast<size_t>(a) * levelWords + b / 64] |= uint64_t{1} << (b % 64);
        excludedBits[static_cast<size_t>(b) * levelWords + a / 64] |= uint64_t{1} << (a % 64);
    };

    // A pair named twice (either way round) enters the solver once, in the order first named.
    excludedPairs.clear();
    std::unordered_set<uint64_t> named;
    for (int32_t c = 0; c < lNumConstraints; ++c) {
        const int32_t* codes = &alConstraints[static_cast<size_t>(c) * 4];
        const int32_t a = levelOffset[codes[0] - 1] + codes[1] - 1;
        const int32_t b = levelOffset[codes[2] - 1] + codes[3] - 1;
        if (named.insert(uint64_t(std::min(a, b)) << 32 | uint32_t(std::max(a, b))).second) {
            excludedPairs.emplace_back(a, b);
            exclude(a, b);
        }
    }
    anyExcluded = !excludedPairs.empty();

    // What the constraints exclude together. With no valid row at all nothing more is
    // marked: the search then finds no admissible first row and says so.
    implied = ImpliedExclusions{};
    if (!anyExcluded)
        return;
    implied = FindImpliedExclusions(levelOffset, excludedPairs);
    for (const int32_t dead : implied.deadLevels)
        for (int32_t other = 0; other < totalLevels; ++other)
            if (levelFactor[other] != levelFactor[dead])
                exclude(dead, other);
    for (const auto& [a, b] : implied.pairs) {
        exclude(a, b);
        excludedPairs.emplace_back(a, b);
    }
}
