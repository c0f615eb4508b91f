#include "sheets/frmPrevRuns.h"

#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"

#include <algorithm>

frmPrevRuns::frmPrevRuns(DesignWorkbook& workbook, QWidget* parent)
    : ComboSheetWindow(workbook, workbook.PrevRunsGrid(), parent)
{
    Form_Load();
}

void frmPrevRuns::Form_Load() { SetupGrid(); }

std::int32_t frmPrevRuns::UsedRows() const { return workbook().PrevRuns().lNumPrevRuns(); }

void frmPrevRuns::SetUsedRows(std::int32_t rows) { workbook().PrevRuns().setLNumPrevRuns(rows); }

QString frmPrevRuns::RowCaption(int row) const { return QStringLiteral("Prev Test ") + QString::number(row); }

void frmPrevRuns::MakeRowComboCells(int row)
{
    GridCellStore& grid = store();
    for (int c = 1; c <= workbook().Factors().lNumFactors(); ++c)
        grid.setComboCell(c, row, grid.comboList(c, row));
}

QString frmPrevRuns::LevelsList(int factor) const
{
    QString list;
    return LevelsListFor(factor, list) ? list : QString();
}

void frmPrevRuns::SetupGrid()
{
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    ClearAllTexts();
    grid.setMaxCols(1);
    grid.setMaxRows(1);
    grid.setText(0, 1, RowCaption(1));
    Grid->fitColToText(0);
    Grid->fitRowToText(0);
    Grid->fitRowToText(1);
    Grid->setRedraw(true);
}

bool frmPrevRuns::InitGridForPreviousRuns()
{
    TextTable vaFactors;
    if (!BuildLevelLists(QStringLiteral("You must have at least two factors before you can add Previous Test."), vaFactors))
        return false;
    store().setMaxCols(mlNumListFactors);
    PutFactorNamesInRowZero(vaFactors, mlNumListFactors);
    return true;
}

void frmPrevRuns::PutFactorNamesInRowZero(const TextTable& In_vaFactors, int In_lNumFactors)
{
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    for (int c = 1; c <= In_lNumFactors; ++c) {
        grid.setText(c, 0, TableEntry(In_vaFactors, 0, c));
        Grid->widenColToText(c);
        grid.setComboCell(c, 1, grid.comboList(c, 1));
    }
    Grid->setRedraw(true);
}

void frmPrevRuns::Grid_Click(int col, int row) { Grid_ComboDropDown(col, row); }

void frmPrevRuns::Grid_ComboDropDown(int col, int row)
{
    if (col >= 1 && row >= 1 && col <= mastrLevelsComboList.size())
        store().setComboCell(col, row, LevelsList(col));
}

bool frmPrevRuns::LoadDataIntoGrid(std::int32_t In_lNumPrevRuns, const TextTable& In_vaPrevRuns)
{
    // The lists first: their read of the factors sets how many columns the tests get.
    if (In_lNumPrevRuns > 0)
        InitGridForPreviousRuns();
    workbook().PutPrevRuns(In_lNumPrevRuns, In_vaPrevRuns);
    ShowLoadedTable();
    return true;
}

void frmPrevRuns::ShowLoadedTable()
{
    const std::int32_t numPrevRuns = UsedRows();
    if (numPrevRuns <= 0)
        return;
    const int numFactors = workbook().Factors().lNumFactors();
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    for (int r = 1; r <= numPrevRuns; ++r) {
        grid.setText(0, r, RowCaption(r));
        for (int f = 1; f <= numFactors; ++f)
            grid.setComboCell(f, r, LevelsList(f));
    }
    AddSpareRow(numPrevRuns + 1);
    Grid->setRedraw(true);
}

void frmPrevRuns::DeleteColFromGrid()
{
    ShowMessage(QStringLiteral("You cannot delete a column from the previous test grid."), MsgButtons::Ok,
                MsgIcon::Information);
}
