#pragma once
// Coverage of the combinations of levels of every t factors (t from 2 up) by a matrix of test
// cases, counted the way the pair count is: a combination is found when the matrix or a
// previous test holds it, or when it holds a pair a constraint forbids (the constraints
// account for it); every other combination is missing. A matrix row that breaks a constraint
// is a violation.
//
// With invalid levels, a combination of valid levels counts only where a test case without
// an invalid level holds it, and the invalid-level pairs (an invalid level with a valid level
// of another factor) are counted apart, held by a test case with that one invalid level. Each
// group of factors is counted apart too, at its own strength.

#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"

#include <cstdint>
#include <string>
#include <vector>

struct TupleCoverage {
    int64_t found = 0;
    int64_t missing = 0;
    bool violation = false;
    // Each missing combination: t factor numbers and their level codes, all 1-based, and
    // whether no valid test case can hold it (the constraints exclude it together). The
    // missing invalid-level pairs follow those of valid levels.
    struct Missing {
        std::vector<int32_t> factors;
        std::vector<int32_t> levels;
        bool excludedTogether = false;
    };
    std::vector<Missing> missingCombinations;
    // The invalid-level pairs, when the design has invalid levels.
    int64_t invalidFound = 0;
    int64_t invalidMissing = 0;
    // Each group of the rules text, in its order.
    struct Group {
        int32_t statement = 0;
        int32_t strength = 0;
        std::vector<int32_t> factors;  // 1-based
        int64_t found = 0;
        int64_t missing = 0;
    };
    std::vector<Group> groups;
};

// constraints: the design's, compiled. matrix: the test cases as level names (or as shown,
// "~" before an invalid level), one per factor. Names that are no level of their factor hold
// no combination. listMissing: fill missingCombinations too.
TupleCoverage CountTupleCoverage(const DesignTables& design, const ConstraintModel& constraints,
                                 const std::vector<std::vector<std::string>>& matrix, int32_t strength, bool listMissing);
