#include "model/TextTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A factor table of many factors and one long one holds what was written, not the rectangle
// around it: bounds of 10^10 cells cost nothing until written.
TEST(TextTableTest, HoldsWhatIsWrittenWithinItsBoundsAndReadsTheRestEmpty)
{
    TextTable table(0, 100'000, 1, 100'000);
    table(0, 1) = "Big";
    table(100'000, 1) = "last level";
    table(0, 100'000) = "Small";
    EXPECT_EQ(table.at(100'000, 1), "last level");
    EXPECT_EQ(table.at(5, 100'000), "");
    EXPECT_EQ(table.at(100'000, 2), "");
    EXPECT_THROW((void)table.at(100'001, 1), std::out_of_range);
    EXPECT_THROW(table(0, 0) = "x", std::out_of_range);
}

TEST(TextTableTest, ACellKeepsItsPlaceWhileItsColumnGrowsAndEqualityIgnoresUnwrittenCells)
{
    TextTable table(1, 1000, 1, 2);
    QString& first = table(1, 1);
    first = "first";
    for (int row = 2; row <= 1000; ++row)
        table(row, 1) = QString::number(row);
    EXPECT_EQ(first, "first");
    table(1, 2) = "top";
    table(1000, 2) = table(1, 2);  // the right-hand cell is found before its column grows
    EXPECT_EQ(table.at(1000, 2), "top");

    TextTable written(1, 1000, 1, 2), unwritten(1, 1000, 1, 2);
    written(1000, 2) = "";  // every cell above it is written empty
    EXPECT_EQ(written, unwritten);
    unwritten(3, 2) = "x";
    EXPECT_NE(written, unwritten);
    EXPECT_NE(TextTable(1, 2, 1, 2), TextTable(1, 3, 1, 2));

    table.redimPreserve(2, 3);
    EXPECT_EQ(table.at(2, 1), "2");
    EXPECT_EQ(table.at(1, 2), "top");
    EXPECT_EQ(table.at(2, 3), "");
    EXPECT_THROW((void)table.at(3, 1), std::out_of_range);
    table.redimPreserve(1000, 3);
    EXPECT_EQ(table.at(1000, 1), "") << "a cell cut off by a smaller table is gone";
}

}  // namespace
