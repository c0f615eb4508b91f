#pragma once
// Finds where a pair of levels occurs: in a constraint (a forbidden pair needs no test), in a
// previous test, or in a row of the Test Cases matrix. Works on copies of the validated design
// tables and reads the Test Cases grid cell by cell. Lives for one command.

#include "model/TextTable.h"

#include <cstdint>

class GridCellStore;

class CFind {
public:
    // Where an occurrence was found.
    enum Location : std::int32_t { InConstraints = 1, InPrevRuns = 2, InQXVMatrix = 3 };

    // quiet: a violated constraint is found without its message (the self-test runs).
    CFind(const GridCellStore& testCases, bool quiet) : mTestCases(testCases), mbQuiet(quiet) {}

    void LoadData(std::int32_t In_lNumFactors, const LongArray& In_alLevelCount, const TextTable& In_vaFactors,
                  std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                  const TextTable& In_vaPrevRuns);

    // True when the pair (level l1 of factor f1, level l2 of factor f2) occurs anywhere; every
    // occurrence is appended to the list, constraints first, then previous tests, then matrix
    // rows. Ret_bViolateConstraints becomes True (never False) when the pair is both forbidden
    // and in the matrix.
    bool Find2Way(std::int32_t In_lFirstFactor, std::int32_t In_lFirstLevel, std::int32_t In_lSecondFactor,
                  std::int32_t In_lSecondLevel, LongArray& Ret_alLocations, LongArray& Ret_alFindRows,
                  std::int32_t& Ret_lNumFound, bool& Ret_bViolateConstraints);

    // Counts every 2-way level pair of the design as found or missing.
    void FindAllCombinations(std::int32_t& Ret_lNumFound, std::int32_t& Ret_lNumMissing,
                             bool& Ret_bAnyConstraintViolations);

private:
    struct Pair {
        std::int32_t f1, l1, f2, l2;
    };
    bool Find2WayInConstraints(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count) const;
    bool Find2WayInPrevRuns(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count) const;
    bool Find2WayInQXVMatrix(const Pair& pair, LongArray& locations, LongArray& rows, std::int32_t& count) const;
    static void IncrementFindArray(std::int32_t location, std::int32_t row, LongArray& locations, LongArray& rows,
                                   std::int32_t& count);

    const GridCellStore& mTestCases;
    bool mbQuiet;
    std::int32_t mlNumFactors = 0;
    LongArray malLevelCount;
    TextTable mvaFactors;
    std::int32_t mlNumConstraints = 0;
    TextTable mvaConstraints;
    std::int32_t mlNumPrevRuns = 0;
    TextTable mvaPrevRuns;
};
