#include "sheets/frmFactorsAndLevels.h"

#include "model/CFactors.h"
#include "model/DesignWorkbook.h"
#include "model/FactorsSheetExtent.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "sheets/LevelCellText.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {
constexpr double kCaptionFontScale = 1.15;
}  // namespace

using FactorsSheetExtent::FactorCaption;
using FactorsSheetExtent::LevelCaption;

frmFactorsAndLevels::frmFactorsAndLevels(DesignWorkbook& workbook, QWidget* parent)
    : SheetWindow(workbook, workbook.FactorsGrid(), parent)
{
    Grid->setEmptyHint(QStringLiteral("Type factor names in the first row, their levels below"));
    // Only a level can be invalid: a cell below the names that holds one.
    Grid->setMarkable(
        [this](int col, int row) { return col >= 1 && row >= 2 && !CFactors::IsBlank(store().text(col, row)); });
    // A level is edited as a model text writes it, its other names and weight after its name.
    store().setEditText([this](int col, int row) {
        const QString& name = store().text(col, row);
        return row >= 2 ? LevelEditText(name, store().levelExtras(col, row)) : name;
    });
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
    const std::int32_t n = workbook().Factors().lNumFactors();
    if (FactorsSheetExtent::CellEdited(store(), workbook().Factors(), col, row).factor) {
        // The new spare column starts as wide as the factor just named.
        Grid->setRowBottomLine(1, 1, n + 2);
        const int widest = Grid->widestTextWidth(n + 1);
        if (widest > Grid->sheetColWidth(n + 2))
            Grid->setSheetColWidth(n + 2, widest);
    }
    Grid->heightenRowToText(row);  // a text of several lines (pasted) shows whole
    if (row >= 2)
        TakeTypedLevel(col, row);
    if (!Grid->isMarkable(col, row))
        store().setMarked(col, row, false);  // a level typed away is no invalid level
    MarkDesignChanged();
}

void frmFactorsAndLevels::TakeTypedLevel(int col, int row)
{
    const TypedLevel typed = ReadTypedLevel(store().text(col, row));
    if (!typed.problem.isEmpty())
        ShowMessage(QStringLiteral("The level \"%1\" is taken as a name: %2.").arg(typed.name, typed.problem),
                    MsgButtons::Ok, MsgIcon::Information);
    store().setText(col, row, typed.name);
    store().setLevelExtras(col, row, typed.extras);
    if (typed.invalid)
        store().setMarked(col, row, true);
}

bool frmFactorsAndLevels::LoadDataIntoGrid(std::int32_t In_lNumFactors, std::int32_t In_lMaxNumLevels,
                                           const TextTable& In_vaFactors, const LongArray& In_alLevelCount,
                                           const CFactors::LevelCells& In_invalidLevels)
{
    SetupGrid();
    Grid->setRedraw(false);
    workbook().PutFactors(In_lNumFactors, In_lMaxNumLevels, In_vaFactors, In_alLevelCount, In_invalidLevels);
    ShowLoadedTable();
    return true;
}

void frmFactorsAndLevels::ShowLoadedTable()
{
    const CFactors& factors = workbook().Factors();
    const int numFactors = factors.lNumFactors(), maxNumLevels = factors.lMaxNumLevels;
    Grid->setRedraw(false);
    FactorsSheetExtent::CaptionLines(store());
    for (int c = 1; c <= numFactors + 1; ++c)
        Grid->widenColToText(c);
    for (int r = 1; r <= maxNumLevels + 2; ++r)  // the names too: a name of two lines shows whole
        Grid->heightenRowToText(r);
    Grid->setRowBottomLine(1, 0, numFactors + 1);
    Grid->setRedraw(true);
}

void frmFactorsAndLevels::DeleteRowFromGrid()
{
    MarkDesignChanged();
    const GridBlock block = Grid->selectedBlock();
    const int r1 = block.row1, r2 = block.row2;
    if (r1 == 1) {
        ShowMessage(QStringLiteral("The first row cannot be delete as it contains the factor names."), MsgButtons::Ok,
                    MsgIcon::Information);
        return;
    }
    FactorsSheetExtent::DeleteLevelRows(store(), workbook().Factors(), r1, r2);
}

void frmFactorsAndLevels::DeleteColFromGrid()
{
    MarkDesignChanged();
    const GridBlock block = Grid->selectedBlock();
    const bool prevTestValuesDeleted = FactorsSheetExtent::DeleteFactorColumns(
        store(), workbook().Factors(), workbook().PrevRunsGrid(), block.col1, block.col2);
    Grid->viewport()->update();
    Grid->setRowBottomLine(1, 0, store().maxCols());
    if (prevTestValuesDeleted)
        ShowMessage(QStringLiteral("The Previous Test sheet held values of the deleted factors; they were deleted "
                                   "with them. Undo brings them back."),
                    MsgButtons::Ok, MsgIcon::Information);
}

void frmFactorsAndLevels::MarkLevelInvalid()
{
    QList<GridBlock> blocks = Grid->selectedBlocks();
    if (blocks.isEmpty())
        blocks.append(Grid->selectedBlock());
    std::set<std::pair<int, int>> levels;  // (column, row); blocks may overlap
    for (const GridBlock& block : blocks)
        for (int col = block.col1; col <= block.col2; ++col)
            for (int row = block.row1; row <= block.row2; ++row)
                if (Grid->isMarkable(col, row))
                    levels.emplace(col, row);
    if (levels.empty()) {
        ShowMessage(QStringLiteral("Select the levels to mark invalid: the cells below the factor names that "
                                   "hold a level."),
                    MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const bool mark =
        std::ranges::any_of(levels, [this](const auto& cell) { return !store().isMarked(cell.first, cell.second); });
    std::set<int> cols;
    for (const auto& [col, row] : levels) {
        store().setMarked(col, row, mark);
        cols.insert(col);
    }
    for (const int col : cols)
        Grid->widenColToText(col);  // room for the "~"
    MarkDesignChanged();
}
