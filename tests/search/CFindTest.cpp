// The combination search on its own: every place a pair occurs, in the order the Find command
// walks them, and a pair that a constraint forbids found in the matrix, which the self-test
// records without a box. The commands' messages are tested through the main window
// (tests/app/FindCommandsTest.cpp).
#include "search/CFind.h"

#include <vantrel/design.hpp>

#include "model/GridCellStore.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

class CFindTest : public SeamTest {
protected:
    GridCellStore matrix;
    CFind find{matrix, /*quiet=*/false};
    CFind quietFind{matrix, /*quiet=*/true};  // as the self-test runs it
};

TEST_F(CFindTest, OccurrencesComeConstraintsFirstThenPreviousTestsThenMatrixRowsAndAForbiddenOneIsAViolation)
{
    LongArray counts;
    const TextTable factors =
        TestTables::FactorTable({{"A", "a1", "a2"}, {"B", "b1", "b2", "b3"}, {"C", "c1", "c2"}}, counts);
    // The constraint names the pair from its then-side; the matrix's first row holds the names.
    for (CFind* search : {&find, &quietFind})
        search->LoadData(3, counts, factors, 1, TestTables::Rows({{"B", "b3", "A", "a2"}}), 1,
                         TestTables::Rows({{"a2", "b3", "c1"}}));
    TestTables::FillGrid(matrix, {{"A", "B", "C"}, {"a2", "b3", "c2"}, {"a1", "b1", "c1"}, {"a2", "b3", "c1"}});
    LongArray locations, rows;
    std::int32_t count = 0;
    bool violation = false;
    messages.answer(MsgResult::Ok);
    EXPECT_TRUE(find.Find2Way(1, 2, 2, 3, locations, rows, count, violation));
    expectOnlyBox("Violated constraints", MsgIcon::None);
    EXPECT_TRUE(violation);
    QList<std::pair<int, int>> found;  // where, and which row: matrix rows count the names row
    for (int i = 1; i <= count; ++i)
        found.append({locations.at(i), rows.at(i)});
    const QList<std::pair<int, int>> expected = {
        {CFind::InConstraints, 1}, {CFind::InPrevRuns, 1}, {CFind::InQXVMatrix, 2}, {CFind::InQXVMatrix, 4}};
    EXPECT_EQ(found, expected);

    // The self-test keeps quiet about the violation; the flag still tells.
    count = 0;
    violation = false;
    EXPECT_TRUE(quietFind.Find2Way(1, 2, 2, 3, locations, rows, count, violation));
    EXPECT_TRUE(violation);
}

TEST_F(CFindTest, ARuleNamesThePairsItExcludesAndAMatrixRowThatBreaksOneIsAViolation)
{
    LongArray counts;
    const TextTable factors = TestTables::FactorTable({{"A", "a1", "a2"}, {"B", "b1", "b2"}, {"C", "c1", "c2"}}, counts);
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("A", {"a1", "a2"}), vantrel::Factor::Of("B", {"b1", "b2"}), vantrel::Factor::Of("C", {"c1", "c2"})};
    model.rules = "# two lines first\n\nIF [A] = \"a1\" THEN [B] = \"b1\";\nIF [A] = \"a2\" AND [B] = \"b2\" THEN [C] <> \"c2\";";
    quietFind.LoadData(3, counts, factors, 0, TextTable(), 0, TextTable());
    quietFind.LoadConstraints(vantrel::Design::Compile(model).value());
    // The second row breaks the rule over three factors; no rule names one of its pairs.
    TestTables::FillGrid(matrix, {{"A", "B", "C"}, {"a1", "b1", "c1"}, {"a2", "b2", "c2"}});
    LongArray locations, rows;
    std::int32_t count = 0;
    bool violation = false;
    EXPECT_TRUE(quietFind.Find2Way(1, 1, 2, 2, locations, rows, count, violation));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(locations.at(1), int(CFind::InRules));
    EXPECT_EQ(rows.at(1), 3);  // the rule's line
    EXPECT_FALSE(violation);
    EXPECT_TRUE(quietFind.Find2Way(1, 2, 3, 2, locations, rows, count, violation));
    EXPECT_TRUE(violation);
    count = 0;
    violation = false;
    EXPECT_TRUE(quietFind.Find2Way(1, 1, 3, 1, locations, rows, count, violation));
    EXPECT_FALSE(violation);
}

TEST_F(CFindTest, AnInvalidLevelIsFoundWhereTestCasesShowIt)
{
    // a2 and c1 are invalid; "~c1" is a valid level of its own, which its text names first.
    LongArray counts;
    const TextTable factors = TestTables::FactorTable({{"A", "a1", "a2"}, {"C", "c1", "~c1"}}, counts);
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("A", {"a1", "a2"}), vantrel::Factor::Of("C", {"c1", "~c1"})};
    model.factors[0].levels[1].invalid = model.factors[1].levels[0].invalid = true;
    quietFind.LoadData(2, counts, factors, 0, TextTable(), 0, TextTable());
    quietFind.LoadConstraints(vantrel::Design::Compile(model).value());
    TestTables::FillGrid(matrix, {{"A", "C"}, {"~a2", "~c1"}, {"a1", "~c1"}, {"a2", "c1"}});
    LongArray locations, rows;
    std::int32_t count = 0;
    bool violation = false;
    EXPECT_TRUE(quietFind.Find2Way(1, 2, 2, 2, locations, rows, count, violation));  // ~a2 with the level ~c1
    EXPECT_TRUE(quietFind.Find2Way(1, 2, 2, 1, locations, rows, count, violation));  // a2 and c1, plainly
    EXPECT_FALSE(quietFind.Find2Way(1, 1, 2, 1, locations, rows, count, violation));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(rows.at(1), 2);
    EXPECT_EQ(rows.at(2), 4);
}

}  // namespace
