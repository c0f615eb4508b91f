#include "model/GridCellStore.h"

#include "tests/support/TestTables.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <utility>

namespace {

class GridCellStoreTest : public ::testing::Test {
protected:
    GridCellStore grid;
    QAbstractItemModelTester tester{&grid, QAbstractItemModelTester::FailureReportingMode::Fatal};

    // Every cell, captions included, holding "<column><row>".
    void fill(int cols, int rows)
    {
        grid.setMaxCols(cols);
        grid.setMaxRows(rows);
        for (int r = 0; r <= rows; ++r)
            for (int c = 0; c <= cols; ++c)
                grid.setText(c, r, QStringLiteral("%1%2").arg(c).arg(r));
    }

    // Every row from the captions down, its texts from the captions on joined by '|'.
    QStringList lines() const
    {
        QStringList out;
        for (int r = 0; r <= grid.maxRows(); ++r) {
            QStringList row;
            for (int c = 0; c <= grid.maxCols(); ++c)
                row << grid.text(c, r);
            out << row.join('|');
        }
        return out;
    }

    // The marked cells, "<column><row>" each, row by row.
    QStringList marked() const
    {
        QStringList out;
        for (int r = 0; r <= grid.maxRows(); ++r)
            for (int c = 0; c <= grid.maxCols(); ++c)
                if (grid.isMarked(c, r))
                    out << QStringLiteral("%1%2").arg(c).arg(r);
        return out;
    }
};

TEST_F(GridCellStoreTest, CountsGrowEmptyAndShrinkDropsTheLastLinesWithTheirSettings)
{
    fill(3, 3);
    grid.setComboCell(3, 3, "\tx");
    grid.setMaxRows(2);
    grid.setMaxCols(2);
    grid.setText(9, 9, "ignored");  // outside the grid: nothing
    grid.setMaxRows(3);
    grid.setMaxCols(3);
    EXPECT_EQ(lines(), (QStringList{"00|10|20|", "01|11|21|", "02|12|22|", "|||"}));
    EXPECT_FALSE(grid.isComboCell(3, 3));
    EXPECT_EQ(grid.text(9, 9), "");
}

TEST_F(GridCellStoreTest, CaptionsAreTheHeaderDataAndBlocksReadAndWriteFromTheirTopLeftCell)
{
    fill(3, 3);
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), "10");
    EXPECT_EQ(grid.headerData(1, Qt::Vertical).toString(), "02");
    EXPECT_EQ(grid.data(grid.index(0, 1)).toString(), "21");
    EXPECT_EQ(grid.readBlock(2, 2, 2, 2), TestTables::Rows({{"22", "32"}, {"23", "33"}}));
    EXPECT_EQ(grid.readBlock(3, 3, 2, 2), TestTables::Rows({{"33", ""}, {"", ""}}));  // beyond the grid: empty

    TextTable written(0, 1, 1, 2);  // every cell is written, the empty ones too
    written(0, 1) = "a";
    written(1, 2) = "d";
    grid.writeBlock(1, 1, written);
    EXPECT_EQ(lines(), (QStringList{"00|10|20|30", "01|a||31", "02||d|32", "03|13|23|33"}));
}

TEST_F(GridCellStoreTest, ClearRangeRemovesDataTextsOnly)
{
    fill(3, 3);
    grid.clearRange(2, 1, 3, 2);
    EXPECT_EQ(lines(), (QStringList{"00|10|20|30", "01|11||", "02|12||", "03|13|23|33"}));
    grid.clearRange(GridCellStore::kAll, GridCellStore::kAll, 0, 0);
    EXPECT_EQ(lines(), (QStringList{"00|10|20|30", "01|||", "02|||", "03|||"}));
}

TEST_F(GridCellStoreTest, DeletingRowsAndColumnsClosesTheGapAndKeepsTheCounts)
{
    fill(4, 4);
    grid.setComboCell(1, 4, "\tq");
    grid.deleteRows(2, 2);
    EXPECT_EQ(lines(), (QStringList{"00|10|20|30|40", "01|11|21|31|41", "04|14|24|34|44", "||||", "||||"}));
    EXPECT_TRUE(grid.isComboCell(1, 2));
    EXPECT_FALSE(grid.isComboCell(1, 4));

    grid.deleteCols(1, 1);
    EXPECT_EQ(lines(), (QStringList{"00|20|30|40|", "01|21|31|41|", "04|24|34|44|", "||||", "||||"}));
    EXPECT_FALSE(grid.isComboCell(1, 2));
}

TEST_F(GridCellStoreTest, AMarkGoesWithItsCellAndIsDroppedWithItsText)
{
    fill(3, 3);
    const GridCellStore::State unmarked = grid.state();
    for (const auto& [col, row] : {std::pair{0, 1}, {1, 0}, {1, 2}, {2, 2}, {3, 3}})  // captions carry none
        grid.setMarked(col, row, true);
    grid.deleteCols(1, 1);
    grid.clearRange(2, 2, 2, 3);
    EXPECT_EQ(marked(), (QStringList{"12"}));
    EXPECT_EQ(grid.shownText(1, 2), "~22");
    grid.setMarked(1, 2, false);
    grid.setMaxCols(3);
    EXPECT_EQ(grid.state().settings, unmarked.settings) << "unmarked again is the store it was: no Undo step";
}

TEST_F(GridCellStoreTest, ComboIndexIsThePositionOfTheTextInItsList)
{
    fill(2, 1);
    grid.setComboCell(1, 1, "\tA\tB");
    grid.setText(1, 1, "B");
    EXPECT_EQ(grid.comboIndex(1, 1), 2);
    grid.setText(1, 1, "");
    EXPECT_EQ(grid.comboIndex(1, 1), 0);
    grid.setText(1, 1, "b");
    EXPECT_EQ(grid.comboIndex(1, 1), -1);
    EXPECT_EQ(grid.comboItems(1, 1), (QStringList{"", "A", "B"}));
    EXPECT_EQ(grid.comboIndex(2, 1), -1);  // not a combo cell
}

TEST_F(GridCellStoreTest, OnlyEditsRaiseTheChangeEventAndLockedCellsRefuseThemWhileProtected)
{
    fill(2, 2);
    QSignalSpy edits(&grid, &GridCellStore::cellEdited);
    grid.setText(1, 1, "x");  // programmatic writes raise nothing
    grid.writeBlock(1, 1, grid.readBlock(1, 1, 2, 2));
    grid.clearRange(1, 1, 2, 2);
    EXPECT_EQ(edits.count(), 0);
    grid.setLocked(GridCellStore::kAll, GridCellStore::kAll, true);
    EXPECT_TRUE(grid.editCell(1, 1, "typed"));  // protection off
    grid.setProtect(true);
    EXPECT_FALSE(grid.setData(grid.index(0, 0), "again"));
    EXPECT_FALSE(grid.flags(grid.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_EQ(grid.text(1, 1), "typed");
    grid.setLocked(2, 2, false);
    EXPECT_TRUE(grid.setData(grid.index(1, 1), "open"));
    EXPECT_EQ(edits.count(), 2);
    EXPECT_EQ(edits.last().at(0).toInt(), 2);
    EXPECT_EQ(edits.last().at(1).toInt(), 2);
}

}  // namespace
