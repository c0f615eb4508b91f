#pragma once
// The model of the Constraints sheet: if factor A is at level x, then factor B can't be
// level y. Keeps only the number of rows in use; every read takes the cells afresh into a
// table of constraint 1..m x field 1..4 (if factor, if level, then factor, can't-be level).

#include "model/TextTable.h"

#include <cstdint>

class GridCellStore;

class CConstraints {
public:
    explicit CConstraints(GridCellStore& grid) : mGrid(grid) {}

    std::int32_t mlNumConstraints = 0;

    std::int32_t lNumConstraints() const { return mlNumConstraints; }
    // Stores the count and shows it in the status bar ("1 Constraint  ", "2 Constraints  ").
    void setLNumConstraints(std::int32_t value);

    // Always True.
    bool ReadConstraintsNoValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                   TextTable& Ret_vaConstraints, std::int32_t& Ret_lNumRealConstraints);
    // Checks every name against the factor table; False after the first problem's message.
    bool ReadConstraintsAndValidate(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                    TextTable& Ret_vaConstraints, std::int32_t& Ret_lNumRealConstraints);

    static bool CheckFactorsAndLevels(const TextTable& In_vaConstraints, std::int32_t In_mlNumConstraints,
                                      const TextTable& In_vaFactors, const LongArray& In_alLevelCounts);

private:
    // False when every row was empty (nothing more to look at).
    bool Read(TextTable& Ret_vaConstraints, std::int32_t& Ret_lNumRealConstraints);

    GridCellStore& mGrid;
};
