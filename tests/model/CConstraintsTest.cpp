#include "model/CConstraints.h"

#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

class CConstraintsTest : public SeamTest {
protected:
    GridCellStore grid;
    CConstraints constraints{grid};
    LongArray counts;
    // A factor with an empty name stands among the others, as the factor reader leaves one.
    TextTable factors = TestTables::FactorTable({{"A", "x", "y"}, {"B", "p", "q"}, {"", "e"}, {"C", "1"}}, counts);
    TextTable table;
    std::int32_t count = -1;

    void rows(const Cells& rows)
    {
        TestTables::FillGrid(grid, rows);
        constraints.mlNumConstraints = int(rows.size());
    }

    void expectRefusal(const QString& text)
    {
        messages.answer(MsgResult::Ok);
        EXPECT_FALSE(constraints.ReadConstraintsAndValidate(factors, counts, table, count));
        expectOnlyBox(text, MsgIcon::Exclamation);
    }
};

TEST_F(CConstraintsTest, EmptyRowsAreCountedOnlyBeforeAFilledOne)
{
    ASSERT_TRUE(constraints.ReadConstraintsAndValidate(factors, counts, table, count));  // no rows in use
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(table.isDimensioned());

    rows({{"A", "x", "B", "p"}, {}, {}});  // trailing empty rows are dropped
    ASSERT_TRUE(constraints.ReadConstraintsAndValidate(factors, counts, table, count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(table.rowUpper(), 1);

    rows({{"A", "x", "B", "p"}, {" "}, {}});  // a space is not empty
    ASSERT_TRUE(constraints.ReadConstraintsNoValidate(factors, counts, table, count));
    EXPECT_EQ(count, 2);

    rows({{}, {}, {}});  // all empty: none counted, the rows read kept
    ASSERT_TRUE(constraints.ReadConstraintsAndValidate(factors, counts, table, count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(table.rowUpper(), 3);
    EXPECT_EQ(constraints.mlNumConstraints, 3);
}

TEST_F(CConstraintsTest, EachValidationMessageNamesTheSheetRow)
{
    rows({{"A", "x", "B", "p"}, {"A ", "x", "B", "p"}});
    expectRefusal("In constraint number 2 in column 'If factor' the factor name A  is not valid.");
    rows({{"A", "x", "b", "p"}});
    expectRefusal("In constraint number 1 in column 'then factor' the factor name b is not valid.");
    rows({{"A", "x", "A", "y"}});
    expectRefusal("In constraint number 1 the factor name A is used for both the 'If Factor' and 'then "
                  "factor'. constraints.");
    rows({{"A", "p", "B", "p"}});
    expectRefusal("In constraint number 1 the value for 'is at level' is p which is not a valid level for that "
                  "factor.");
    rows({{"A", "x", "B", "y"}});
    expectRefusal("In constraint number 1 the value for 'cant be' is y which is not a valid level for that "
                  "factor.");
    // An empty row between filled ones is validated: the factor with the empty name matches
    // both empty factor cells.
    rows({{"A", "x", "B", "p"}, {}, {"B", "q", "C", "1"}});
    expectRefusal("In constraint number 2 the factor name  is used for both the 'If Factor' and 'then factor'. "
                  "constraints.");
}

}  // namespace
