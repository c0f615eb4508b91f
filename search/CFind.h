#pragma once
// Finds where a pair of levels occurs: in a constraint (a forbidden pair needs no test: a
// Constraints row or a rule over the pair's two factors that excludes it), in a previous test,
// or in a row of the Test Cases matrix. Works on copies of the validated design tables and
// their compiled constraints, and reads the Test Cases grid cell by cell, once: a cell holds a
// level's name, or an invalid level's as test cases show it, "~" before the name. Lives for
// one command.

#include "model/TextTable.h"

#include <vantrel/design.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class GridCellStore;

class CFind {
public:
    // Where an occurrence was found; a rule's row is its line in the rules text.
    enum Location : std::int32_t { InConstraints = 1, InPrevRuns = 2, InQXVMatrix = 3, InRules = 4 };

    // quiet: a violated constraint is found without its message (the self-test runs).
    CFind(const GridCellStore& testCases, bool quiet) : mTestCases(testCases), mbQuiet(quiet) {}

    void LoadData(std::int32_t In_lNumFactors, const LongArray& In_alLevelCount, const TextTable& In_vaFactors,
                  std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                  const TextTable& In_vaPrevRuns);
    // The design as the command compiled it, rules included; without, the design of the tables
    // loaded is compiled on first use.
    void LoadConstraints(const vantrel::Design& design) { mDesign = design; }

    // True when the pair (level l1 of factor f1, level l2 of factor f2) occurs anywhere; every
    // occurrence is appended to the list, constraints first, then rules, previous tests and
    // matrix rows. Ret_bViolateConstraints becomes True (never False) when the pair is both
    // forbidden and in the matrix, or is in a matrix row that breaks a rule over both factors.
    bool Find2Way(std::int32_t In_lFirstFactor, std::int32_t In_lFirstLevel, std::int32_t In_lSecondFactor,
                  std::int32_t In_lSecondLevel, LongArray& Ret_alLocations, LongArray& Ret_alFindRows,
                  std::int32_t& Ret_lNumFound, bool& Ret_bViolateConstraints);

private:
    struct Pair {
        std::int32_t f1, l1, f2, l2;
    };
    bool Find2WayInConstraints(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count);
    bool Find2WayInPrevRuns(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count);
    bool Find2WayInQXVMatrix(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count,
                             bool& breaksRule);
    static void IncrementFindArray(std::int32_t location, std::int32_t row, LongArray& locations, LongArray& rows,
                                   std::int32_t& count);
    const vantrel::Design& Design();
    // The level (0-based) that a text names in factor f (1-based): a level's name, or "~" and an
    // invalid level's name, a level of that very name coming first; -1 for none.
    std::int32_t LevelCode(int f, const QString& text);
    // The Test Cases grid's test cases (grid rows 2 on) as level codes, row after row.
    const std::vector<std::int32_t>& MatrixCodes();

    const GridCellStore& mTestCases;
    bool mbQuiet;
    std::int32_t mlNumFactors = 0;
    LongArray malLevelCount;
    TextTable mvaFactors;
    std::int32_t mlNumConstraints = 0;
    TextTable mvaConstraints;
    std::int32_t mlNumPrevRuns = 0;
    TextTable mvaPrevRuns;
    std::optional<vantrel::Design> mDesign;
    std::vector<std::int32_t> mMatrixCodes;
    bool mbMatrixRead = false;
};
