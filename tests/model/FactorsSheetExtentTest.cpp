// The Factors and Levels sheet's used part as edits grow it and deletions shrink it, on the
// grids and counts alone; the sheet window's tests drive the same rules by typing.
#include "model/FactorsSheetExtent.h"

#include "model/DesignWorkbook.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

class FactorsSheetExtentTest : public SeamTest {
protected:
    // Factors, levels, the grid's extent and the captions of its last column and row.
    void Expect(int factors, int levels, int cols, int rows)
    {
        EXPECT_EQ(workbook.Factors().lNumFactors(), factors);
        EXPECT_EQ(workbook.Factors().lMaxNumLevels, levels);
        EXPECT_EQ(grid.maxCols(), cols);
        EXPECT_EQ(grid.maxRows(), rows);
        EXPECT_EQ(grid.text(cols, 0), FactorsSheetExtent::FactorCaption(cols));
        EXPECT_EQ(grid.text(0, rows), FactorsSheetExtent::LevelCaption(rows - 1));
    }

    DesignWorkbook workbook;
    GridCellStore& grid = workbook.FactorsGrid();
};

TEST_F(FactorsSheetExtentTest, TypingIntoTheSpareLinesMakesThemUsedAndAddsNewOnes)
{
    workbook.PutFactors(0, 0, TextTable(), LongArray());
    FactorsSheetExtent::CaptionLines(grid);
    struct Edit {
        int col, row;
        bool factor, level;
        int factors, levels;
    };
    const Edit edits[] = {
        {1, 1, true, false, 1, 0},   // a name in the spare column
        {1, 2, false, true, 1, 1},   // a level in the spare row
        {1, 2, false, false, 1, 1},  // a used cell again
        {2, 2, false, false, 1, 1},  // a level under no name: the column stays spare
        {2, 3, false, true, 1, 2},   // the spare row grows whatever its column
        {1, 1, false, false, 1, 2},  // renaming a factor
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(testing::Message() << "edit of " << e.col << ", " << e.row);
        const FactorsSheetExtent::Growth growth = FactorsSheetExtent::CellEdited(grid, workbook.Factors(), e.col, e.row);
        EXPECT_EQ(growth.factor, e.factor);
        EXPECT_EQ(growth.level, e.level);
        Expect(e.factors, e.levels, e.factors + 1, e.levels + 2);
    }
}

TEST_F(FactorsSheetExtentTest, DeletionsCountOnlyUsedLinesKeepASpareAndTakeThePreviousTestColumns)
{
    LongArray counts;
    workbook.PutFactors(3, 2, TestTables::FactorTable({{"A", "a1", "a2"}, {"B", "b1", "b2"}, {"C", "c1", "c2"}}, counts),
                        counts);
    FactorsSheetExtent::CaptionLines(grid);
    GridCellStore& prevRuns = workbook.PrevRunsGrid();
    TestTables::FillGrid(prevRuns, {{"a1", "", "c1"}});

    // B and its (empty) previous-test column: nothing held there.
    EXPECT_FALSE(FactorsSheetExtent::DeleteFactorColumns(grid, workbook.Factors(), prevRuns, 2, 2));
    Expect(2, 2, 3, 4);
    EXPECT_EQ(grid.text(2, 1), "C");
    EXPECT_EQ(prevRuns.text(2, 1), "c1");
    // The spare column alone: the last factor does not slip into it.
    EXPECT_FALSE(FactorsSheetExtent::DeleteFactorColumns(grid, workbook.Factors(), prevRuns, 3, 3));
    Expect(2, 2, 3, 4);
    EXPECT_EQ(grid.text(2, 1), "C");
    // C with its value.
    EXPECT_TRUE(FactorsSheetExtent::DeleteFactorColumns(grid, workbook.Factors(), prevRuns, 2, 3));
    Expect(1, 2, 2, 4);
    EXPECT_EQ(prevRuns.maxCols(), 1);

    // The last level and the spare row: one spare row stays.
    FactorsSheetExtent::DeleteLevelRows(grid, workbook.Factors(), 3, 4);
    Expect(1, 1, 2, 3);
    EXPECT_EQ(grid.text(1, 2), "a1");
    FactorsSheetExtent::DeleteLevelRows(grid, workbook.Factors(), 2, 2);
    Expect(1, 0, 2, 2);
    EXPECT_EQ(grid.text(1, 1), "A");
}

}  // namespace
