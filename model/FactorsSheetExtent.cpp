#include "model/FactorsSheetExtent.h"

#include "model/CFactors.h"
#include "model/GridCellStore.h"

#include <algorithm>

namespace FactorsSheetExtent {

QString FactorCaption(int col) { return QStringLiteral("Factor ") + QString::number(col); }
QString LevelCaption(int level) { return QStringLiteral("Level ") + QString::number(level); }

void CaptionLines(GridCellStore& grid)
{
    for (int c = 1; c <= grid.maxCols(); ++c)
        grid.setText(c, 0, FactorCaption(c));
    for (int r = 2; r <= grid.maxRows(); ++r)
        grid.setText(0, r, LevelCaption(r - 1));
}

Growth CellEdited(GridCellStore& grid, CFactors& factors, int col, int row)
{
    Growth growth;
    const std::int32_t n = factors.lNumFactors();
    if (col - 1 >= n && row == 1) {
        factors.setLNumFactors(n + 1);
        grid.setMaxCols(n + 2);
        grid.setText(n + 2, 0, FactorCaption(n + 2));
        growth.factor = true;
    }
    const std::int32_t levels = factors.lMaxNumLevels;
    if (row >= levels + 2) {
        factors.lMaxNumLevels = levels + 1;
        grid.setMaxRows(levels + 3);
        grid.setText(0, levels + 3, LevelCaption(levels + 2));
        growth.level = true;
    }
    return growth;
}

void DeleteLevelRows(GridCellStore& grid, CFactors& factors, int r1, int r2)
{
    // Only the used level rows (2..L+1) among those deleted lower the count, and a spare row
    // always stays: otherwise the last level would slip into the spare row and out of every read.
    const int usedRemoved = std::max(0, std::min(r2, int(factors.lMaxNumLevels) + 1) - r1 + 1);
    grid.deleteRows(r1, r2 - r1 + 1);
    grid.setMaxRows(grid.maxRows() - (r2 - r1 + 1));
    factors.lMaxNumLevels -= usedRemoved;
    grid.setMaxRows(factors.lMaxNumLevels + 2);
    CaptionLines(grid);
}

namespace {
// Deletes count columns of the Previous Test sheet from firstCol; true when they held values.
bool DeletePrevTestColumns(GridCellStore& prevRuns, int firstCol, int count)
{
    count = std::min(count, prevRuns.maxCols() - firstCol + 1);
    if (count <= 0)
        return false;
    bool heldValues = false;
    for (int c = firstCol; c < firstCol + count && !heldValues; ++c)
        for (int r = 1; r <= prevRuns.maxRows() && !heldValues; ++r)
            heldValues = !prevRuns.text(c, r).isEmpty();
    prevRuns.deleteCols(firstCol, count);
    prevRuns.setMaxCols(prevRuns.maxCols() - count);
    return heldValues;
}
}  // namespace

bool DeleteFactorColumns(GridCellStore& grid, CFactors& factors, GridCellStore& prevRuns, int c1, int c2)
{
    // As with rows: only used factor columns count, and a spare column always stays.
    const int usedRemoved = std::max(0, std::min(c2, int(factors.lNumFactors())) - c1 + 1);
    const bool prevTestValuesDeleted = DeletePrevTestColumns(prevRuns, c1, usedRemoved);
    grid.deleteCols(c1, c2 - c1 + 1);
    grid.setMaxCols(grid.maxCols() - (c2 - c1 + 1));
    factors.setLNumFactors(factors.lNumFactors() - usedRemoved);
    grid.setMaxCols(factors.lNumFactors() + 1);
    CaptionLines(grid);
    return prevTestValuesDeleted;
}

}  // namespace FactorsSheetExtent
