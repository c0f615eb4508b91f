#include "sheets/ComboSheetWindow.h"

#include "model/CFactors.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"

#include <algorithm>

void ComboSheetWindow::DeleteRowFromGrid()
{
    MarkDesignChanged();
    const GridBlock block = Grid->selectedBlock();
    const int r1 = block.row1, r2 = block.row2, k = r2 - r1 + 1;
    GridCellStore& grid = store();
    const std::int32_t used = UsedRows();
    const int usedRemoved = std::max(0, std::min(r2, int(used)) - r1 + 1);
    grid.deleteRows(r1, k);
    grid.setMaxRows(grid.maxRows() - k);
    SetUsedRows(used - usedRemoved);
    if (grid.maxRows() < UsedRows() + 1)
        AddSpareRow(UsedRows() + 1);
    for (int r = 1; r <= grid.maxRows(); ++r)
        grid.setText(0, r, RowCaption(r));
}

void ComboSheetWindow::Grid_ComboSelChange(int col, int row)
{
    if (col < 1 || row < 1)
        return;
    MarkDesignChanged();
    Grid->widenColToText(col);
    Grid->heightenRowToText(row);
    const std::int32_t used = UsedRows();
    if (row > used) {
        SetUsedRows(used + 1);
        AddSpareRow(used + 2);
    }
}

void ComboSheetWindow::AddSpareRow(int row)
{
    store().setMaxRows(row);
    store().setText(0, row, RowCaption(row));
    MakeRowComboCells(row);
}

bool ComboSheetWindow::LevelsListFor(int index, QString& list) const
{
    if (index < 1 || index > mlNumListFactors || index > mastrLevelsComboList.size())
        return false;
    list = mastrLevelsComboList.at(index - 1);
    return true;
}

bool ComboSheetWindow::BuildLevelLists(const QString& tooFewFactors, TextTable& factorTable)
{
    CFactors& factors = workbook().Factors();
    if (factors.lNumFactors() < 2) {
        ShowMessage(tooFewFactors);
        return false;
    }
    TextTable vaFactors;
    LongArray alLevelCounts;
    if (!factors.ReadFactorsAndValidate(vaFactors, alLevelCounts))
        return false;
    malListLevelCounts = alLevelCounts;
    mlNumListFactors = vaFactors.colUpper();
    CreateLevelsComboListStringArray(vaFactors, malListLevelCounts, mlNumListFactors, mastrLevelsComboList);
    factorTable = vaFactors;
    return true;
}
