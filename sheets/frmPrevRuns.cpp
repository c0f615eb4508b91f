#include "sheets/frmPrevRuns.h"

#include "app/MessageBox.h"
#include "app/modMain.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/GridCellStore.h"

#include <algorithm>

namespace {
QString PrevTestCaption(int row) { return QStringLiteral("Prev Test ") + QString::number(row); }

QString Entry(const TextTable& table, int row, int col)
{
    if (!table.isDimensioned() || row < table.rowLower() || row > table.rowUpper() || col < table.colLower() ||
        col > table.colUpper())
        return {};
    return table.at(row, col);
}
}  // namespace

frmPrevRuns::frmPrevRuns(QWidget* parent) : SheetWindow(modMain::PrevRunsGrid(), parent)
{
    Form_Load();
}

void frmPrevRuns::Form_Load() { SetupGrid(); }

void frmPrevRuns::SetupGrid()
{
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    ClearAllTexts();
    grid.setMaxCols(1);
    grid.setMaxRows(1);
    grid.setText(0, 1, PrevTestCaption(1));
    Grid->fitColToText(0);
    Grid->fitRowToText(0);
    Grid->fitRowToText(1);
    Grid->setRedraw(true);
}

bool frmPrevRuns::InitGridForPreviousRuns()
{
    CFactors& factors = modMain::Factors();
    if (factors.lNumFactors() < 2) {
        ShowMessage(QStringLiteral("You must have at least two factors before you can add Previous Test."));
        return false;
    }
    TextTable vaFactors;
    LongArray alLevelCounts;
    if (!factors.ReadFactorsAndValidate(vaFactors, alLevelCounts))
        return false;
    malListLevelCounts = alLevelCounts;
    mlNumListFactors = vaFactors.colUpper();
    CreateLevelsComboListStringArray(vaFactors, malListLevelCounts, mlNumListFactors, mastrLevelsComboList);
    store().setMaxCols(mlNumListFactors);
    PutFactorNamesInRowZero(vaFactors, mlNumListFactors);
    return true;
}

void frmPrevRuns::PutFactorNamesInRowZero(const TextTable& In_vaFactors, int In_lNumFactors)
{
    GridCellStore& grid = store();
    Grid->setRedraw(false);
    for (int c = 1; c <= In_lNumFactors; ++c) {
        grid.setText(c, 0, Entry(In_vaFactors, 0, c));
        Grid->widenColToText(c);
        grid.setComboCell(c, 1, grid.comboList(c, 1));
    }
    Grid->setRedraw(true);
}

QString frmPrevRuns::LevelsList(int factor) const
{
    return factor >= 1 && factor <= mastrLevelsComboList.size() ? mastrLevelsComboList.at(factor - 1) : QString();
}

void frmPrevRuns::MakeRowComboCells(int row)
{
    GridCellStore& grid = store();
    for (int c = 1; c <= modMain::Factors().lNumFactors(); ++c)
        grid.setComboCell(c, row, grid.comboList(c, row));
}

void frmPrevRuns::Grid_Click(int col, int row) { Grid_ComboDropDown(col, row); }

void frmPrevRuns::Grid_ComboDropDown(int col, int row)
{
    if (col >= 1 && row >= 1 && col <= mastrLevelsComboList.size())
        store().setComboCell(col, row, LevelsList(col));
}

void frmPrevRuns::Grid_Change(int col, int row) { Grid_ComboSelChange(col, row); }

void frmPrevRuns::Grid_ComboSelChange(int col, int row)
{
    if (col < 1 || row < 1)
        return;
    modMain::gbDirty = true;
    modMain::gbDesignChanged = true;
    Grid->widenColToText(col);
    Grid->heightenRowToText(row);

    CPrevRuns& prevRuns = modMain::PrevRuns();
    const std::int32_t k = prevRuns.lNumPrevRuns();
    if (row > k) {
        // The spare row was used: a new spare row follows.
        prevRuns.setLNumPrevRuns(k + 1);
        store().setMaxRows(k + 2);
        store().setText(0, k + 2, PrevTestCaption(k + 2));
        MakeRowComboCells(k + 2);
    }
}

bool frmPrevRuns::LoadDataIntoGrid(std::int32_t In_lNumPrevRuns, const TextTable& In_vaPrevRuns)
{
    CPrevRuns& prevRuns = modMain::PrevRuns();
    prevRuns.setLNumPrevRuns(In_lNumPrevRuns);
    if (In_lNumPrevRuns <= 0)
        return true;
    InitGridForPreviousRuns();

    GridCellStore& grid = store();
    const int numFactors = modMain::Factors().lNumFactors();
    Grid->setRedraw(false);
    // Every factor keeps its column, even when the factors could not be read for the lists:
    // a load never drops what the design holds.
    grid.setMaxCols(std::max(grid.maxCols(), numFactors));
    grid.setMaxRows(In_lNumPrevRuns + 1);
    for (int r = 1; r <= In_lNumPrevRuns; ++r) {
        grid.setText(0, r, PrevTestCaption(r));
        for (int f = 1; f <= numFactors; ++f) {
            grid.setComboCell(f, r, LevelsList(f));
            grid.setText(f, r, Entry(In_vaPrevRuns, r, f));
        }
    }
    grid.setText(0, In_lNumPrevRuns + 1, PrevTestCaption(In_lNumPrevRuns + 1));
    MakeRowComboCells(In_lNumPrevRuns + 1);
    Grid->setRedraw(true);
    return true;
}

void frmPrevRuns::DeleteRowFromGrid()
{
    modMain::gbDirty = true;
    modMain::gbDesignChanged = true;
    const GridBlock block = Grid->selectedBlock();
    const int r1 = block.row1, r2 = block.row2, k = r2 - r1 + 1;
    GridCellStore& grid = store();
    CPrevRuns& prevRuns = modMain::PrevRuns();
    // Only used rows lower the count, and a spare row always stays: otherwise the last
    // previous test would slip into the spare row and out of every read.
    const std::int32_t used = prevRuns.lNumPrevRuns();
    const int usedRemoved = std::max(0, std::min(r2, int(used)) - r1 + 1);
    grid.deleteRows(r1, k);
    grid.setMaxRows(grid.maxRows() - k);
    prevRuns.setLNumPrevRuns(used - usedRemoved);
    if (grid.maxRows() < prevRuns.lNumPrevRuns() + 1) {
        grid.setMaxRows(prevRuns.lNumPrevRuns() + 1);
        MakeRowComboCells(grid.maxRows());
    }
    for (int r = 1; r <= grid.maxRows(); ++r)
        grid.setText(0, r, PrevTestCaption(r));
}

void frmPrevRuns::DeleteColFromGrid()
{
    ShowMessage(QStringLiteral("You cannot delete a column from the previous test grid."), MsgButtons::Ok,
                MsgIcon::Information);
}
