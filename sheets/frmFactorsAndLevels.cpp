#include "sheets/frmFactorsAndLevels.h"

#include "model/CFactors.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"

#include <algorithm>

namespace {
constexpr double kCaptionFontScale = 1.15;

QString FactorCaption(int col) { return QStringLiteral("Factor ") + QString::number(col); }
QString LevelCaption(int level) { return QStringLiteral("Level ") + QString::number(level); }
}  // namespace

frmFactorsAndLevels::frmFactorsAndLevels(DesignWorkbook& workbook, QWidget* parent)
    : SheetWindow(workbook, workbook.FactorsGrid(), parent)
{
    Grid->setEmptyHint(QStringLiteral("Type factor names in the first row, their levels below"));
    Form_Load();
}

void frmFactorsAndLevels::Form_Load()
{
    SetupGrid();
    mbFormLoaded = true;
    store().setProtect(false);
}

void frmFactorsAndLevels::SetupGrid()
{
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    ClearAllTexts();

    const QFont captionFont = Grid->scaledBoldFont(kCaptionFontScale);
    Grid->setRowFont(0, captionFont);
    Grid->setRowFont(1, captionFont);
    grid.setMaxCols(1);
    grid.setMaxRows(2);

    grid.setText(0, 0, QStringLiteral("Factor #"));
    grid.setText(0, 1, QStringLiteral("Factor Name"));
    grid.setText(0, 2, LevelCaption(1));
    grid.setText(1, 0, FactorCaption(1));

    Grid->fitColToText(0);
    Grid->fitColToText(1);
    Grid->fitRowToText(0);
    Grid->fitRowToText(1);
    Grid->setRowBottomLine(1, 0, 2);
    Grid->setRedraw(true);
}

void frmFactorsAndLevels::Grid_Change(int col, int row)
{
    if (!mbFormLoaded)
        return;
    GridCellStore& grid = store();
    CFactors& factors = workbook().Factors();

    const std::int32_t n = factors.lNumFactors();
    if (col - 1 >= n && row == 1) {
        // A name typed into the spare column: it becomes a factor, a new spare column follows.
        factors.setLNumFactors(n + 1);
        grid.setMaxCols(n + 2);
        grid.setText(n + 2, 0, FactorCaption(n + 2));
        Grid->setRowBottomLine(1, 1, n + 2);
        const int widest = Grid->widestTextWidth(n + 1);
        if (widest > Grid->sheetColWidth(n + 2))
            Grid->setSheetColWidth(n + 2, widest);
    }

    const std::int32_t levels = factors.lMaxNumLevels;
    if (row >= levels + 2) {
        // A level typed into the spare row.
        factors.lMaxNumLevels = levels + 1;
        grid.setMaxRows(levels + 3);
        grid.setText(0, levels + 3, LevelCaption(levels + 2));
    }
    MarkDesignChanged();
}

bool frmFactorsAndLevels::LoadDataIntoGrid(std::int32_t In_lNumFactors, std::int32_t In_lMaxNumLevels,
                                           const TextTable& In_vaFactors, const LongArray& In_alLevelCount)
{
    SetupGrid();
    Grid->setRedraw(false);
    workbook().PutFactors(In_lNumFactors, In_lMaxNumLevels, In_vaFactors, In_alLevelCount);
    ShowLoadedTable();
    return true;
}

void frmFactorsAndLevels::ShowLoadedTable()
{
    const CFactors& factors = workbook().Factors();
    const int numFactors = factors.lNumFactors(), maxNumLevels = factors.lMaxNumLevels;
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    for (int c = 1; c <= numFactors + 1; ++c) {
        grid.setText(c, 0, FactorCaption(c));
        Grid->widenColToText(c);
    }
    for (int r = 1; r <= maxNumLevels + 1; ++r) {
        grid.setText(0, r + 1, LevelCaption(r));
        Grid->heightenRowToText(r + 1);
    }
    Grid->setRowBottomLine(1, 0, numFactors + 1);
    Grid->setRedraw(true);
}

void frmFactorsAndLevels::DeleteRowFromGrid()
{
    MarkDesignChanged();
    const GridBlock block = Grid->selectedBlock();
    const int r1 = block.row1, r2 = block.row2, k = r2 - r1 + 1;
    if (r1 == 1) {
        ShowMessage(QStringLiteral("The first row cannot be delete as it contains the factor names."), MsgButtons::Ok,
                    MsgIcon::Information);
        return;
    }
    GridCellStore& grid = store();
    CFactors& factors = workbook().Factors();
    // Only the used level rows (2..L+1) among those deleted lower the count, and a spare row
    // always stays: otherwise the last level would slip into the spare row and out of every read.
    const int usedRemoved = std::max(0, std::min(r2, int(factors.lMaxNumLevels) + 1) - r1 + 1);
    grid.deleteRows(r1, k);
    grid.setMaxRows(grid.maxRows() - k);
    factors.lMaxNumLevels -= usedRemoved;
    grid.setMaxRows(factors.lMaxNumLevels + 2);
    CaptionLevelRows();
}

void frmFactorsAndLevels::DeleteColFromGrid()
{
    MarkDesignChanged();
    const GridBlock block = Grid->selectedBlock();
    const int c1 = block.col1, c2 = block.col2, k = c2 - c1 + 1;
    GridCellStore& grid = store();
    CFactors& factors = workbook().Factors();
    // As with rows: only used factor columns count, and a spare column always stays.
    const int usedRemoved = std::max(0, std::min(c2, int(factors.lNumFactors())) - c1 + 1);
    const bool prevTestValuesDeleted = DeletePrevTestColumns(c1, usedRemoved);
    grid.deleteCols(c1, k);
    grid.setMaxCols(grid.maxCols() - k);
    Grid->viewport()->update();
    factors.setLNumFactors(factors.lNumFactors() - usedRemoved);
    grid.setMaxCols(factors.lNumFactors() + 1);
    CaptionFactorColumns();
    Grid->setRowBottomLine(1, 0, grid.maxCols());
    if (prevTestValuesDeleted)
        ShowMessage(QStringLiteral("The Previous Test sheet held values of the deleted factors; they were deleted "
                                   "with them. Undo brings them back."),
                    MsgButtons::Ok, MsgIcon::Information);
}

bool frmFactorsAndLevels::DeletePrevTestColumns(int firstCol, int count)
{
    // Column f of the Previous Test sheet holds the levels of factor f.
    GridCellStore& prevRuns = workbook().PrevRunsGrid();
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

void frmFactorsAndLevels::CaptionLevelRows()
{
    GridCellStore& grid = store();
    for (int r = 2; r <= grid.maxRows(); ++r)
        grid.setText(0, r, LevelCaption(r - 1));
}

void frmFactorsAndLevels::CaptionFactorColumns()
{
    GridCellStore& grid = store();
    for (int c = 1; c <= grid.maxCols(); ++c)
        grid.setText(c, 0, FactorCaption(c));
}
