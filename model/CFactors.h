#pragma once
// The model of the Factors and Levels sheet. It keeps only the used extent of the sheet;
// every read takes the cells afresh, cleans them, optionally validates them and hands out
// a copy of the factor table (level 0..lMaxNumLevels x factor 1..F, level 0 = the name)
// and the level counts (1..F), with the levels marked invalid on the sheet and the weights and
// other names of levels.

#include "model/LevelExtras.h"
#include "model/TextTable.h"

#include <cstdint>
#include <map>
#include <set>
#include <utility>

class GridCellStore;

class CFactors {
public:
    explicit CFactors(GridCellStore& grid) : mGrid(grid) {}

    // Levels as (level row 1..L, factor column 1..F) of the factor table.
    using LevelCells = std::set<std::pair<int, int>>;

    std::int32_t mlNumFactors = 0;   // factor columns in use: 1..n
    std::int32_t lMaxNumLevels = 0;  // level rows in use: sheet rows 2..L+1

    std::int32_t lNumFactors() const { return mlNumFactors; }
    // Stores the count and shows it in the status bar ("1 Factor  ", "3 Factors  ").
    void setLNumFactors(std::int32_t value);

    // Both stop at the first problem, show one message and return False, leaving the
    // caller's tables untouched. Ret_invalidLevels, if given, gets the levels marked invalid,
    // where the cleaning left them: a mark goes with its level, and with a blank one it goes.
    bool ReadFactorsNoValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                               LevelCells* Ret_invalidLevels = nullptr);
    bool ReadFactorsAndValidate(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount,
                                LevelCells* Ret_invalidLevels = nullptr);

    // The weights and other names of the levels the last read gave, keyed as its invalid levels.
    using LevelExtrasByCell = std::map<std::pair<int, int>, LevelExtras>;
    const LevelExtrasByCell& LevelExtrasRead() const { return mLevelExtras; }

    // A name or level cell is blank when empty or one to five spaces.
    static bool IsBlank(const QString& text);

private:
    bool Read(bool validate, TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount, LevelCells* Ret_invalidLevels);
    void ReadTableInformation();
    bool CleanFactorsAndLevels();
    bool CleanAndValidateFactorsAndLevels();
    std::int32_t lGetNumBlankFactors() const;
    void RemoveBlankFactors(std::int32_t numBlank);
    bool RemoveBlankLevelsAndGetNum(bool allowFactorsWithoutLevels);
    bool CheckUniqueFactorNames() const;
    bool CheckUniqueLevelNames() const;
    void TransferFactors(TextTable& Ret_vaFactors, LongArray& Ret_alLevelCount, LevelCells* Ret_invalidLevels) const;

    GridCellStore& mGrid;
    TextTable mvaFactors;
    LongArray malLevelCount;
    LevelCells mInvalidLevels;  // as the factor table holds them, step by step
    LevelExtrasByCell mLevelExtras;  // alike
};
