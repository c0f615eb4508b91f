#pragma once
// Random valid designs for the engine tests: factors "F1".., levels "v1".. per factor,
// constraints between two different factors, previous tests naming one level per factor.

#include "engine/DesignTables.h"

#include <random>
#include <string>

struct RandomDesignLimits {
    int minFactors = 2;
    int maxFactors = 12;
    int minLevels = 2;
    int maxLevels = 11;
    int maxConstraints = 3;
    int maxPrevRuns = 20;
};

inline std::string NumberedName(const char* prefix, int number)
{
    std::string name(prefix);
    name.append(std::to_string(number));
    return name;
}

// L^k: k factors "F1".. of L levels "v1".. each.
inline DesignTables UniformDesign(int levels, int factors)
{
    DesignTables design;
    for (int f = 1; f <= factors; ++f) {
        std::vector<std::string> column{NumberedName("F", f)};
        for (int l = 1; l <= levels; ++l)
            column.push_back(NumberedName("v", l));
        design.factors.push_back(column);
        design.levelCounts.push_back(levels);
    }
    return design;
}

inline DesignTables MakeRandomDesign(std::mt19937_64& rng, const RandomDesignLimits& limits)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    DesignTables design;
    const int F = pick(limits.minFactors, limits.maxFactors);
    for (int f = 1; f <= F; ++f) {
        const int levels = pick(limits.minLevels, limits.maxLevels);
        std::vector<std::string> column{NumberedName("F", f)};
        for (int l = 1; l <= levels; ++l)
            column.push_back(NumberedName("v", l));
        design.factors.push_back(column);
        design.levelCounts.push_back(levels);
    }
    const int constraints = pick(0, limits.maxConstraints);
    for (int c = 0; c < constraints; ++c) {
        const int a = pick(0, F - 1);
        int b = pick(0, F - 2);
        if (b >= a)
            ++b;
        design.constraints.push_back({design.factors[a][0], design.factors[a][pick(1, design.levelCounts[a])],
                                      design.factors[b][0], design.factors[b][pick(1, design.levelCounts[b])]});
    }
    const int prevRuns = pick(0, limits.maxPrevRuns);
    for (int p = 0; p < prevRuns; ++p) {
        std::vector<std::string> test;
        for (int f = 0; f < F; ++f)
            test.push_back(design.factors[f][pick(1, design.levelCounts[f])]);
        design.prevRuns.push_back(test);
    }
    return design;
}
