#pragma once
// How the Factors and Levels sheet's used part follows its edits: one factor per column with
// its name in row 1, its levels below, and always one spare column and one spare row beyond
// the used part. Typing into a spare line makes it used and adds a new spare one; deleting
// lines lowers the counts by the used lines among them and keeps a spare. Only the grid's
// texts and the counts change here; the sheet window sizes and draws what follows.

#include <QString>

class CFactors;
class GridCellStore;

namespace FactorsSheetExtent {
QString FactorCaption(int col);
QString LevelCaption(int level);
// Captions every factor column and level row of the grid's extent.
void CaptionLines(GridCellStore& grid);

struct Growth {
    bool factor = false;  // a name in the spare column made it a factor
    bool level = false;   // a text in the spare row made it a level row
};
// After an edit of cell (col, row).
Growth CellEdited(GridCellStore& grid, CFactors& factors, int col, int row);

// Deletes rows r1..r2 (below the names row) and recaptions the lines.
void DeleteLevelRows(GridCellStore& grid, CFactors& factors, int r1, int r2);

// Deletes columns c1..c2 and recaptions the lines. The Previous Test sheet's columns
// of the deleted factors go too, so that every value stays under its factor; true when they
// held values.
bool DeleteFactorColumns(GridCellStore& grid, CFactors& factors, GridCellStore& prevRuns, int c1, int c2);
}  // namespace FactorsSheetExtent
