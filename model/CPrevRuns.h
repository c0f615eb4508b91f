#pragma once
// The model of the Previous Test sheet: tests already run, one level of every factor per
// row. Keeps only the number of rows in use; every read takes the cells afresh into a table
// of previous test 1..p x factor 1..n.

#include "model/CFactors.h"
#include "model/TextTable.h"

#include <cstdint>

class GridCellStore;

class CPrevRuns {
public:
    explicit CPrevRuns(GridCellStore& grid) : mGrid(grid) {}

    std::int32_t mlNumPrevRuns = 0;

    std::int32_t lNumPrevRuns() const { return mlNumPrevRuns; }
    // Stores the count and shows it in the status bar ("1 Prev Run  ", "2 Prev Test  ").
    void setLNumPrevRuns(std::int32_t value);

    // Always True. When every used row is empty the table becomes undimensioned.
    bool ReadPrevRunsNoValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                TextTable& Ret_vaPrevRuns, std::int32_t& Ret_lNumRealPrevRuns);
    // Checks every cell against its factor's levels; False after the first problem's message.
    // A cell names a level by its name, or an invalid level as test cases show it, "~" before
    // its name (a level of that very name comes first); the table handed out holds the name.
    bool ReadPrevRunsandValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                 TextTable& Ret_vaPrevRuns, std::int32_t& Ret_lNumRealPrevRuns,
                                 const CFactors::LevelCells& In_invalidLevels = {});

private:
    void Read(const TextTable& In_vaFactors, TextTable& Ret_vaPrevRuns, std::int32_t& Ret_lNumRealPrevRuns);
    static bool ValidatePreviousRuns(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                     const CFactors::LevelCells& In_invalidLevels, TextTable& vaPrevRuns,
                                     std::int32_t numPrevRuns);

    GridCellStore& mGrid;
};
