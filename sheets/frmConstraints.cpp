#include "sheets/frmConstraints.h"

#include "app/MessageBox.h"
#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/GridCellStore.h"

#include <algorithm>

namespace {
constexpr int kFields = 4;

QString ConstraintCaption(int row) { return QStringLiteral("Constraint ") + QString::number(row); }

QString Entry(const TextTable& table, int row, int col)
{
    if (!table.isDimensioned() || row < table.rowLower() || row > table.rowUpper() || col < table.colLower() ||
        col > table.colUpper())
        return {};
    return table.at(row, col);
}
}  // namespace

frmConstraints::frmConstraints(QWidget* parent) : SheetWindow(modMain::ConstraintsGrid(), parent)
{
    Form_Load();
}

void frmConstraints::Form_Load() { SetupGrid(); }

void frmConstraints::SetupGrid()
{
    GridCellStore& grid = store();
    ClearAllTexts();
    grid.setMaxCols(kFields);
    grid.setMaxRows(1);
    grid.setText(0, 1, ConstraintCaption(1));
    grid.setText(1, 0, QStringLiteral("If Factor ..."));
    grid.setText(2, 0, QStringLiteral("is at level ..."));
    grid.setText(3, 0, QStringLiteral("then Factor ..."));
    grid.setText(4, 0, QStringLiteral("can't be ..."));
    for (int c = 0; c <= kFields; ++c)
        Grid->fitColToText(c);
    Grid->fitRowToText(0);
    Grid->fitRowToText(1);
    MakeRowComboCells(1);
}

void frmConstraints::MakeRowComboCells(int row)
{
    GridCellStore& grid = store();
    for (int c = 1; c <= kFields; ++c)
        grid.setComboCell(c, row, grid.comboList(c, row));
}

bool frmConstraints::InitGridForFactorsAndLevels()
{
    CFactors& factors = modMain::Factors();
    if (factors.lNumFactors() < 2) {
        ShowMessage(QStringLiteral("You must have at least two factors before you can add constraints."));
        return false;
    }
    TextTable vaFactors;
    LongArray alLevelCounts;
    if (!factors.ReadFactorsAndValidate(vaFactors, alLevelCounts))
        return false;
    malListLevelCounts = alLevelCounts;
    mlNumListFactors = vaFactors.colUpper();
    mstrFactorsComboList = CreateFactorsComboListString(vaFactors, mlNumListFactors);
    CreateLevelsComboListStringArray(vaFactors, malListLevelCounts, mlNumListFactors, mastrLevelsComboList);
    return true;
}

QString frmConstraints::CreateFactorsComboListString(const TextTable& In_vaFactors, int In_lNumFactors)
{
    QString list;
    for (int f = 1; f <= In_lNumFactors; ++f)
        list += QLatin1Char('\t') + Entry(In_vaFactors, 0, f);
    return list;
}

bool frmConstraints::LevelsListFor(int index, QString& list) const
{
    if (index < 1 || index > mlNumListFactors || index > mastrLevelsComboList.size())
        return false;
    list = mastrLevelsComboList.at(index - 1);
    return true;
}

void frmConstraints::Grid_Click(int col, int row)
{
    if (col != 0 && row != 0)
        Grid_ComboDropDown(col, row);
}

void frmConstraints::Grid_ComboDropDown(int col, int row)
{
    GridCellStore& grid = store();
    if (col == 1 || col == 3) {
        grid.setComboCell(col, row, mstrFactorsComboList);
    } else if (col == 2 || col == 4) {
        if (grid.text(col - 1, row).isEmpty())
            return;
        QString list;
        if (LevelsListFor(grid.comboIndex(col - 1, row), list))
            grid.setComboCell(col, row, list);
    }
}

void frmConstraints::Grid_Change(int col, int row) { Grid_ComboSelChange(col, row); }

void frmConstraints::Grid_ComboSelChange(int col, int row)
{
    modMain::gbDirty = true;
    modMain::gbDesignChanged = true;
    Grid->widenColToText(col);
    Grid->heightenRowToText(row);

    CConstraints& constraints = modMain::Constraints();
    const std::int32_t k = constraints.lNumConstraints();
    if (row > k) {
        // The spare row was used: a new spare row follows.
        constraints.setLNumConstraints(k + 1);
        store().setMaxRows(k + 2);
        store().setText(0, k + 2, ConstraintCaption(k + 2));
        MakeRowComboCells(k + 2);
    }
}

bool frmConstraints::LoadDataIntoGrid(std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints)
{
    CConstraints& constraints = modMain::Constraints();
    constraints.setLNumConstraints(In_lNumConstraints);
    if (In_lNumConstraints <= 0)
        return true;
    InitGridForFactorsAndLevels();

    GridCellStore& grid = store();
    Grid->setRedraw(false);
    grid.setMaxRows(In_lNumConstraints + 1);
    for (int r = 1; r <= In_lNumConstraints; ++r) {
        grid.setText(0, r, ConstraintCaption(r));
        int index = -1;
        for (int field = 1; field <= kFields; ++field) {
            if (field == 1 || field == 3) {
                grid.setComboCell(field, r, mstrFactorsComboList);
                grid.setText(field, r, Entry(In_vaConstraints, r, field));
                index = grid.comboIndex(field, r);
            } else {
                // The level keeps its text even when its factor matches no item of the
                // list (then it gets no list): a load never drops what the design holds.
                QString list;
                grid.setComboCell(field, r, LevelsListFor(index, list) ? list : grid.comboList(field, r));
                grid.setText(field, r, Entry(In_vaConstraints, r, field));
            }
        }
        Grid->heightenRowToText(r);
    }
    grid.setText(0, In_lNumConstraints + 1, ConstraintCaption(In_lNumConstraints + 1));
    MakeRowComboCells(In_lNumConstraints + 1);
    for (int c = 0; c <= kFields; ++c)
        Grid->widenColToText(c);
    Grid->setRedraw(true);
    return true;
}

void frmConstraints::DeleteRowFromGrid()
{
    modMain::gbDirty = true;
    modMain::gbDesignChanged = true;
    const GridBlock block = Grid->selectedBlock();
    const int r1 = block.row1, r2 = block.row2, k = r2 - r1 + 1;
    GridCellStore& grid = store();
    CConstraints& constraints = modMain::Constraints();
    // Only used rows lower the count, and a spare row always stays: otherwise the last
    // constraint would slip into the spare row and out of every read.
    const std::int32_t used = constraints.lNumConstraints();
    const int usedRemoved = std::max(0, std::min(r2, int(used)) - r1 + 1);
    grid.deleteRows(r1, k);
    grid.setMaxRows(grid.maxRows() - k);
    constraints.setLNumConstraints(used - usedRemoved);
    if (grid.maxRows() < constraints.lNumConstraints() + 1) {
        grid.setMaxRows(constraints.lNumConstraints() + 1);
        MakeRowComboCells(grid.maxRows());
    }
    for (int r = 1; r <= grid.maxRows(); ++r)
        grid.setText(0, r, ConstraintCaption(r));
}

void frmConstraints::DeleteColFromGrid()
{
    ShowMessage(QStringLiteral("You cannot delete a column from the constraints grid."), MsgButtons::Ok,
                MsgIcon::Information);
}
