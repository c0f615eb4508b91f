#pragma once
// The model of the Factors and Levels sheet. It keeps only the used extent of the sheet;
// every read takes the cells afresh, cleans them, optionally validates them and hands out
// a copy of the factor table (level 0..lMaxNumLevels x factor 1..F, level 0 = the name)
// and the level counts (1..F).

#include "model/TextTable.h"

#include <cstdint>

class GridCellStore;

class CFactors {
public:
    explicit CFactors(GridCellStore& grid) : mGrid(grid) {}

    std::int32_t mlNumFactors = 0;   // factor columns in use: 1..n
    std::int32_t lMaxNumLevels = 0;  // level rows in use: sheet rows 2..L+1

    std::int32_t lNumFactors() const { return mlNumFactors; }
    // Stores the count and shows it in the status bar ("1 Factor  ", "3 Factors  ").
    void setLNumFactors(std::int32_t value);

    // Both stop at the first problem, show one message and return False, leaving the
    // caller's tables untouched.
    bool ReadFactorsNoValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount);
    bool ReadFactorsAndValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount);

    // A name or level cell is blank when empty or one to five spaces.
    static bool IsBlank(const QString& text);

private:
    bool Read(bool validate, TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount);
    void ReadTableInformation();
    bool CleanFactorsAndLevels();
    bool CleanAndValidateFactorsAndLevels();
    std::int32_t lGetNumBlankFactors() const;
    void RemoveBlankFactors(std::int32_t numBlank);
    bool RemoveBlankLevelsAndGetNum(bool allowFactorsWithoutLevels);
    bool CheckUniqueFactorNames() const;
    bool CheckUniqueLevelNames() const;
    void TransferFactors(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount) const;

    GridCellStore& mGrid;
    TextTable mvaFactors;
    LongArray malLevelCount;
};
