#include "search/CFind.h"

#include "app/modMain.h"
#include "model/GridCellStore.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

// Factors A (a1, a2), B (b1, b2, b3), C (c1..c4); matrix rows are given as level names.
class CFindTest : public SeamTest {
protected:
    GridCellStore matrix;
    CFind find{matrix};
    LongArray counts;
    TextTable factors =
        TestTables::FactorTable({{"A", "a1", "a2"}, {"B", "b1", "b2", "b3"}, {"C", "c1", "c2", "c3", "c4"}}, counts);
    TextTable constraints;
    TextTable prevRuns;

    void TearDown() override
    {
        modMain::gbAutoTest = false;
        SeamTest::TearDown();
    }

    void load(std::initializer_list<QStringList> constraintRows, std::initializer_list<QStringList> prevRows,
              std::initializer_list<QStringList> matrixRows)
    {
        constraints = TestTables::Rows(constraintRows, 4);
        prevRuns = TestTables::Rows(prevRows, 3);
        matrix.setMaxCols(3);
        matrix.setMaxRows(int(matrixRows.size()) + 1);
        for (int f = 1; f <= 3; ++f)
            matrix.setText(f, 1, factors.at(0, f));
        int r = 2;
        for (const QStringList& row : matrixRows) {
            for (int c = 0; c < row.size(); ++c)
                matrix.setText(c + 1, r, row[c]);
            ++r;
        }
        find.LoadData(3, counts, factors, int(constraintRows.size()), constraints, int(prevRows.size()), prevRuns);
    }

    struct Found {
        bool any;
        std::int32_t count = 0;
        LongArray locations, rows;
        bool violation = false;
    };
    Found pair(int f1, int l1, int f2, int l2)
    {
        Found r{};
        r.any = find.Find2Way(f1, l1, f2, l2, r.locations, r.rows, r.count, r.violation);
        return r;
    }
};

TEST_F(CFindTest, AConstraintHoldsItsPairFromEitherSide)
{
    load({{"A", "a1", "B", "b1"}}, {}, {});
    Found forward = pair(1, 1, 2, 1);
    EXPECT_TRUE(forward.any);
    EXPECT_EQ(forward.count, 1);
    EXPECT_EQ(forward.locations.at(1), CFind::InConstraints);
    EXPECT_EQ(forward.rows.at(1), 1);

    Found backward = pair(2, 1, 1, 1);
    EXPECT_TRUE(backward.any);
    EXPECT_EQ(backward.rows.at(1), 1);

    EXPECT_FALSE(pair(1, 1, 2, 2).any);
    EXPECT_FALSE(pair(1, 2, 2, 1).any);
}

TEST_F(CFindTest, OccurrencesListConstraintsThenPreviousTestsThenMatrixRows)
{
    load({}, {{"a2", "b3", "c1"}}, {{"a2", "b3", "c2"}, {"a1", "b1", "c1"}, {"a2", "b3", "c4"}});
    Found found = pair(1, 2, 2, 3);
    ASSERT_EQ(found.count, 3);
    EXPECT_EQ(found.locations.at(1), CFind::InPrevRuns);
    EXPECT_EQ(found.rows.at(1), 1);
    EXPECT_EQ(found.locations.at(2), CFind::InQXVMatrix);
    EXPECT_EQ(found.rows.at(2), 2) << "matrix occurrences are grid rows";
    EXPECT_EQ(found.rows.at(3), 4);
    EXPECT_FALSE(found.violation);
}

TEST_F(CFindTest, AForbiddenPairInTheMatrixIsAViolation)
{
    load({{"A", "a1", "B", "b1"}}, {}, {{"a1", "b1", "c1"}});
    messages.answer(MsgResult::Ok);
    Found found = pair(1, 1, 2, 1);
    EXPECT_TRUE(found.violation);
    EXPECT_EQ(found.locations.at(1), CFind::InConstraints);
    const MessageRequest box = takeOnlyMessage();
    EXPECT_EQ(box.text, "Violated constraints");
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::None);

    modMain::gbAutoTest = true;  // the self-test keeps quiet, the flag still tells
    EXPECT_TRUE(pair(1, 1, 2, 1).violation);
}

TEST_F(CFindTest, TheNamesRowIsNotATestCase)
{
    factors(1, 1) = "A";  // a level named like its own factor
    factors(1, 2) = "B";
    load({}, {}, {{"a2", "b2", "c1"}});
    EXPECT_FALSE(pair(1, 1, 2, 1).any);
}

TEST_F(CFindTest, FindAllCombinationsCountsEveryLevelPair)
{
    // Every combination of the three factors covers all 6 + 8 + 12 = 26 pairs.
    std::vector<QStringList> all;
    for (int a = 1; a <= 2; ++a)
        for (int b = 1; b <= 3; ++b)
            for (int c = 1; c <= 4; ++c)
                all.push_back({factors.at(a, 1), factors.at(b, 2), factors.at(c, 3)});
    load({}, {}, {});
    matrix.setMaxRows(int(all.size()) + 1);
    for (int r = 0; r < int(all.size()); ++r)
        for (int c = 0; c < 3; ++c)
            matrix.setText(c + 1, r + 2, all[std::size_t(r)][c]);

    std::int32_t found = -1, missing = -1;
    bool violation = true;
    find.FindAllCombinations(found, missing, violation);
    EXPECT_EQ(found, 26);
    EXPECT_EQ(missing, 0);
    EXPECT_FALSE(violation);

    matrix.setMaxRows(2);  // one test case: 3 pairs, plus one more from a previous test
    load({}, {{"a2", "b2", "c2"}}, {{"a1", "b1", "c1"}});
    find.FindAllCombinations(found, missing, violation);
    EXPECT_EQ(found, 6);
    EXPECT_EQ(missing, 20);
}

}  // namespace
