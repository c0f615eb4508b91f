#include "sheets/frmConstraints.h"

#include "model/CConstraints.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"

namespace {
constexpr int kFields = 4;
}  // namespace

frmConstraints::frmConstraints(DesignWorkbook& workbook, QWidget* parent)
    : ComboSheetWindow(workbook, workbook.ConstraintsGrid(), parent)
{
    Form_Load();
}

void frmConstraints::Form_Load() { SetupGrid(); }

std::int32_t frmConstraints::UsedRows() const { return workbook().Constraints().lNumConstraints(); }

void frmConstraints::SetUsedRows(std::int32_t rows) { workbook().Constraints().setLNumConstraints(rows); }

QString frmConstraints::RowCaption(int row) const { return QStringLiteral("Constraint ") + QString::number(row); }

void frmConstraints::MakeRowComboCells(int row)
{
    GridCellStore& grid = store();
    for (int c = 1; c <= kFields; ++c)
        grid.setComboCell(c, row, grid.comboList(c, row));
}

void frmConstraints::SetupGrid()
{
    GridCellStore& grid = store();
    ClearAllTexts();
    grid.setMaxCols(kFields);
    grid.setMaxRows(1);
    grid.setText(0, 1, RowCaption(1));
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

bool frmConstraints::InitGridForFactorsAndLevels()
{
    TextTable vaFactors;
    if (!BuildLevelLists(QStringLiteral("You must have at least two factors before you can add constraints."), vaFactors))
        return false;
    mstrFactorsComboList = CreateFactorsComboListString(vaFactors, mlNumListFactors);
    return true;
}

QString frmConstraints::CreateFactorsComboListString(const TextTable& In_vaFactors, int In_lNumFactors)
{
    QString list;
    for (int f = 1; f <= In_lNumFactors; ++f)
        list += QLatin1Char('\t') + TableEntry(In_vaFactors, 0, f);
    return list;
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

bool frmConstraints::LoadDataIntoGrid(std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints)
{
    workbook().PutConstraints(In_lNumConstraints, In_vaConstraints);
    ShowLoadedTable();
    return true;
}

void frmConstraints::ShowLoadedTable()
{
    const std::int32_t numConstraints = UsedRows();
    if (numConstraints <= 0)
        return;
    InitGridForFactorsAndLevels();

    GridCellStore& grid = store();
    Grid->setRedraw(false);
    for (int r = 1; r <= numConstraints; ++r) {
        grid.setText(0, r, RowCaption(r));
        int index = -1;
        for (int field = 1; field <= kFields; ++field) {
            if (field == 1 || field == 3) {
                grid.setComboCell(field, r, mstrFactorsComboList);
                index = grid.comboIndex(field, r);
            } else {
                // The level keeps its text even when its factor matches no item of the
                // list (then it gets no list): a load never drops what the design holds.
                QString list;
                grid.setComboCell(field, r, LevelsListFor(index, list) ? list : grid.comboList(field, r));
            }
        }
        Grid->heightenRowToText(r);
    }
    AddSpareRow(numConstraints + 1);
    for (int c = 0; c <= kFields; ++c)
        Grid->widenColToText(c);
    Grid->setRedraw(true);
}

void frmConstraints::DeleteColFromGrid()
{
    ShowMessage(QStringLiteral("You cannot delete a column from the constraints grid."), MsgButtons::Ok,
                MsgIcon::Information);
}
