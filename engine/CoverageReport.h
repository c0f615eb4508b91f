#pragma once
// What a suite covers of what a design requires, counted once for every command that tells
// it: the summary after a generation, Find All Combinations, validate, coverage and the
// Coverage view.
//
// A design requires, at its strength, every combination of levels of valid levels that a
// valid test case without an invalid level can hold; with invalid levels, every pair of an
// invalid level and a level of another factor that a valid test case can hold; for each group,
// the combinations of its factors at its strength. A combination that no valid test case can
// hold (the constraints exclude it, whatever together; two invalid levels) is excluded, not
// required: no suite can cover it.
//
// The suite follows the previous tests. Only a complete, valid test case of the suite covers:
// one that names no level of a factor, breaks a Constraints row or a rule, or holds two invalid
// levels covers nothing and is a problem row. A previous test that breaks a constraint was
// run all the same: it is a problem row, and covers what a valid test case can hold.
//
// One pass over each set of factors: its combinations are marked by the rows holding them,
// then counted; the cost grows with the rows times the sets of factors, plus the combinations.

#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"

#include <cstdint>
#include <string>
#include <vector>

struct CoverageRequirement {
    enum class Kind { Strength, InvalidPairs, Group };
    Kind kind = Kind::Strength;
    int32_t strength = 2;
    int32_t statement = 0;          // a group: its statement in the rules text
    std::vector<int32_t> factors;   // 0-based, ascending
    int64_t required = 0;           // combinations a valid test case can hold
    int64_t covered = 0;            // of those, held by a previous test or a row of the suite
    int64_t excluded = 0;           // combinations no valid test case can hold
    int64_t coveredByPrevious = 0;  // held by a previous test
    std::vector<int64_t> growth;    // covered after each row of the suite, previous tests included

    int64_t Missing() const { return required - covered; }
};

// A combination of levels, as level entries of ascending factors, of one requirement.
struct CoverageCombination {
    int32_t requirement = 0;
    std::vector<int32_t> entries;
};

// A previous test or a row of the suite that covers nothing.
struct CoverageProblemRow {
    bool previous = false;  // a previous test
    int32_t row = 0;        // 0-based among the previous tests or the suite's rows
    int32_t unknownFactor = -1;       // >= 0: the first factor whose cell names no level
    int32_t invalidLevels = 0;        // more than one: no test case may hold them together
    ConstraintModel::Statements broken;
};

struct CoverageReport {
    std::vector<CoverageRequirement> requirements;  // the strength first, then invalid pairs, then groups
    std::vector<CoverageCombination> missing;       // when listed
    std::vector<CoverageCombination> excluded;      // when listed
    std::vector<CoverageProblemRow> problemRows;
    int32_t numFactors = 0;
    int64_t suiteRows = 0;
    // The strength's combinations of each two factors (a combination of t factors counts for
    // each two of them), when asked: at FactorPair(i, j), i < j.
    struct Counts {
        int64_t required = 0;
        int64_t covered = 0;
    };
    std::vector<Counts> factorPairs;

    size_t FactorPair(int32_t i, int32_t j) const
    {
        return static_cast<size_t>(j) * static_cast<size_t>(j - 1) / 2 + static_cast<size_t>(i);
    }
    // Over every requirement.
    int64_t Total(int64_t CoverageRequirement::*count) const;
    int64_t Required() const { return Total(&CoverageRequirement::required); }
    int64_t Covered() const { return Total(&CoverageRequirement::covered); }
    int64_t Excluded() const { return Total(&CoverageRequirement::excluded); }
    int64_t Missing() const { return Required() - Covered(); }
    // A row of the suite (not a previous test) covers nothing.
    bool AnySuiteProblem() const;
    // A row of the suite breaks a constraint or a rule.
    bool AnySuiteViolation() const;
    // Every required combination covered and every row of the suite sound.
    bool Complete() const { return Missing() == 0 && !AnySuiteProblem(); }
};

struct CoverageQuestion {
    int32_t strength = 2;
    bool listCombinations = false;  // fill missing and excluded
    bool factorPairs = false;       // fill factorPairs
};

// previous, suite: level codes (0-based, -1 for a cell that names no level), one per factor.
CoverageReport ReportCoverage(const ConstraintModel& model, const std::vector<std::vector<int32_t>>& previous,
                              const std::vector<std::vector<int32_t>>& suite, const CoverageQuestion& question);

// The same with the design's previous tests, and the suite as test cases show their levels
// (a level's name, one of its other names, "~" before an invalid level's).
CoverageReport ReportCoverage(const DesignTables& design, const ConstraintModel& model,
                              const std::vector<std::vector<std::string>>& suite, const CoverageQuestion& question);
