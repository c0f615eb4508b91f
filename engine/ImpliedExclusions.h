#pragma once
// What constraints exclude together beyond the pairs they name. A chain of constraints can
// leave a level that no valid row holds, or a pair of levels that no valid row holds although
// no constraint names it. The search must know them: a pair that no valid row can hold would
// stay required for ever, and a level that no valid row holds would corner every row that
// takes it.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct ImpliedExclusions {
    bool anyValidRow = true;  // false: no row at all avoids every excluded pair
    // Level entries that no valid row holds.
    std::vector<int32_t> deadLevels;
    // Pairs of level entries (first < second, of two factors, neither of them dead) that no
    // valid row holds and no constraint names.
    std::vector<std::pair<int32_t, int32_t>> pairs;
    int64_t solverCalls = 0;
    std::vector<int32_t> levelOffset;  // the design's, to tell factor and level of an entry

    // The factor and level of a level entry, both 0-based.
    std::pair<int32_t, int32_t> FactorAndLevel(int32_t entry) const
    {
        int32_t f = 0;
        while (levelOffset[static_cast<size_t>(f) + 1] <= entry)
            ++f;
        return {f, entry - levelOffset[static_cast<size_t>(f)]};
    }
};

class ConstraintModel;

// Asks the model's solver, while the model excludes only what its constraints name.
ImpliedExclusions FindImpliedExclusions(const ConstraintModel& model);
