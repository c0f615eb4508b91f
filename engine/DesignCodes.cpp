#include "engine/DesignCodes.h"

#include <algorithm>
#include <array>
#include <stdexcept>

void DesignCodes::PrepareCodes()
{
    const int32_t F = lNumFactors;
    levels.assign(static_cast<size_t>(F), 0);
    for (int32_t f = 0; f < F; ++f)
        levels[f] = atFactors[f].lNumLevels;
    if (!constraints) {
        std::vector<std::array<int32_t, 4>> rows;
        for (int32_t c = 0; c < lNumConstraints; ++c)
            rows.push_back({alConstraints[c * 4], alConstraints[c * 4 + 1], alConstraints[c * 4 + 2], alConstraints[c * 4 + 3]});
        constraints = ConstraintModel::FromRowCodes(levels, rows);
    }
    if (constraints->Levels() != levels)
        throw std::invalid_argument("PrepareCodes: the constraints were compiled for other levels");
    levelOffset = constraints->LevelOffset();
    levelFactor = constraints->LevelFactor();
    maxLevels = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    anyExcluded = constraints->AnyExcluded();
    anyConstraint = constraints->HasConstraints();
    anyWideRule = constraints->HasWideRules();
    levelWords = constraints->LevelWords();
}
