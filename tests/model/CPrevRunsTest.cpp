#include "model/CPrevRuns.h"

#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

class CPrevRunsTest : public SeamTest {
protected:
    GridCellStore grid;
    CPrevRuns prevRuns{grid};
    LongArray counts;
    TextTable factors = TestTables::FactorTable({{"A", "x", "y"}, {"B", "p", "q"}}, counts);
    TextTable table;
    std::int32_t count = -1;

    void rows(const Cells& rows)
    {
        TestTables::FillGrid(grid, rows);
        prevRuns.mlNumPrevRuns = int(rows.size());
    }

    void expectRefusal(const QString& text)
    {
        messages.answer(MsgResult::Ok);
        EXPECT_FALSE(prevRuns.ReadPrevRunsandValidate(factors, counts, table, count));
        expectOnlyBox(text, MsgIcon::Exclamation);
    }
};

TEST_F(CPrevRunsTest, EmptyRowsAreCountedOnlyBeforeAFilledOne)
{
    ASSERT_TRUE(prevRuns.ReadPrevRunsandValidate(factors, counts, table, count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(table.isDimensioned());

    rows({{}, {}});
    table = TextTable(1, 1, 1, 1);
    ASSERT_TRUE(prevRuns.ReadPrevRunsandValidate(factors, counts, table, count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(table.isDimensioned()) << "every row empty: no table at all";

    rows({{"x", "q"}, {"y", "p"}, {}});  // trailing empty rows are dropped, the rest validated
    ASSERT_TRUE(prevRuns.ReadPrevRunsandValidate(factors, counts, table, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(table, TestTables::Rows({{"x", "q"}, {"y", "p"}}));
}

TEST_F(CPrevRunsTest, CellsThatAreNoLevelOfTheirFactorAreRefused)
{
    rows({{"x", ""}});
    expectRefusal("Previous test number 1 factor B is at level . Factor B doesn't have a level entitled  "
                  "defined on the Factors and Levels sheet. ");
    rows({{"x", "q "}});
    expectRefusal("Previous test number 1 factor B is at level q . Factor B doesn't have a level entitled q  "
                  "defined on the Factors and Levels sheet. ");
    rows({{"x", "p"}, {"p", "q"}});
    expectRefusal("Previous test number 2 factor A is at level p. Factor A doesn't have a level entitled p "
                  "defined on the Factors and Levels sheet. ");
    rows({{"x", "p"}, {}, {"y", "q"}});
    expectRefusal("Previous test number 2 factor A is at level . Factor A doesn't have a level entitled  "
                  "defined on the Factors and Levels sheet. ");
}

}  // namespace
