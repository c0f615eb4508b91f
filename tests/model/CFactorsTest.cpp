#include "model/CFactors.h"

#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

class CFactorsTest : public SeamTest {
protected:
    GridCellStore grid;
    CFactors factors{grid};
    TextTable table;
    LongArray counts;

    // The sheet holding only the columns, each {name, level 1, level 2, ...} from row 1 down;
    // the used extent covers them all.
    void sheet(const Cells& columns)
    {
        LongArray ignored;
        const TextTable layout = TestTables::FactorTable(columns, ignored);
        TestTables::FillGrid(grid, {});
        grid.setMaxRows(layout.rowUpper() + 1);
        grid.setMaxCols(int(columns.size()));
        grid.writeBlock(1, 1, layout);
        factors.mlNumFactors = int(columns.size());
        factors.lMaxNumLevels = layout.rowUpper();
    }

    void expectRefusal(bool validate, const QString& text, MsgIcon icon, int help)
    {
        messages.answer(MsgResult::Ok);
        const TextTable before = table;
        EXPECT_FALSE(validate ? factors.ReadFactorsAndValidate(table, counts)
                              : factors.ReadFactorsNoValidate(table, counts));
        expectOnlyBox(text, icon, MsgButtons::Ok, help);
        EXPECT_EQ(table, before) << "the caller's table must stay untouched";
    }
};

const QString kNeedFactor = "You must have at least one factor and one level defined.";

TEST_F(CFactorsTest, EachProblemIsRefusedWithItsMessageTheFirstInReadingOrder)
{
    expectRefusal(false, kNeedFactor, MsgIcon::None, 0);  // a fresh sheet, in both forms
    expectRefusal(true, kNeedFactor, MsgIcon::None, 0);
    const QString dup = "The factor name '%1' was used more than once. Each factor name must be unique.";
    const struct {
        QList<QStringList> columns;
        QString text;
        MsgIcon icon;
        int help;
    } cases[] = {
        {{{"A", "x", "y"}}, kNeedFactor, MsgIcon::None, 0},  // one factor is enough to save, not to validate
        {{{"A", "x"}, {"B"}}, "Factor 'B' has no levels defined.", MsgIcon::Critical, 29},
        {{{"A", "x"}, {"B", "y"}, {"A", "z"}}, dup.arg("A"), MsgIcon::Critical, 30},
        {{{"A", "x", "y", "x"}, {"B", "y"}, {"C", "z"}}, "There are redundant levels in factor 'A' both are named 'x'",
         MsgIcon::Critical, 28},
        // Duplicate names come before missing levels, missing levels before redundant ones,
        // and the first factor without levels is the one named.
        {{{"A", "x", "x"}, {"B"}, {"C"}, {"B", "q"}}, dup.arg("B"), MsgIcon::Critical, 30},
        {{{"A", "x", "x"}, {"B"}, {"C"}, {"D", "q"}}, "Factor 'B' has no levels defined.", MsgIcon::Critical, 29},
        {{{"", "x"}, {"", "y"}, {"C", "z"}}, dup.arg(""), MsgIcon::Critical, 30},  // blank names inside the used part
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        sheet(c.columns);
        expectRefusal(true, c.text, c.icon, c.help);
    }
}

TEST_F(CFactorsTest, ReadingWithoutValidationTakesOneFactorAndFactorsWithoutLevels)
{
    sheet({{"A", "x", "y"}});
    ASSERT_TRUE(factors.ReadFactorsNoValidate(table, counts));
    EXPECT_EQ(table.colUpper(), 1);
    EXPECT_EQ(counts.at(1), 2);
    sheet({{"A", "x"}, {"B"}});
    ASSERT_TRUE(factors.ReadFactorsNoValidate(table, counts));
    EXPECT_EQ(counts.at(2), 0);
}

TEST_F(CFactorsTest, TrailingBlankNamedColumnsAreDroppedOnlyFromTheRight)
{
    sheet({{"A", "x"}, {"    ", "q"}, {"B", "y"}, {"   ", "z"}, {"", "w"}});
    // The blank-named middle column stays and is validated like any other: it has a level,
    // so the read succeeds with three factors.
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(table.colUpper(), 3);
    EXPECT_EQ(table.at(0, 2), "    ");
    EXPECT_EQ(factors.mlNumFactors, 3) << "the count stays lowered after the read";
    EXPECT_EQ(panels.text(kPanelFactors), "") << "dropping columns does not touch the status bar";
}

TEST_F(CFactorsTest, LevelsArePackedUpwardSixSpacesAreANameAndOnlyTheUsedPartIsRead)
{
    sheet({{"A", "x", "", "y", "   ", "      "}, {"B", "p"}});
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    LongArray fullCounts;  // the level rows keep lMaxNumLevels
    EXPECT_EQ(table,
              TestTables::FactorTable({{"A", "x", "y", "      ", "", ""}, {"B", "p", "", "", "", ""}}, fullCounts));
    EXPECT_EQ(counts.at(1), 3);

    sheet({{"A", "x", "spare"}, {"B", "y"}, {"C", "z"}});
    factors.mlNumFactors = 2;  // the used extent leaves out what lies beyond it
    factors.lMaxNumLevels = 1;
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(table.colUpper(), 2);
    EXPECT_EQ(counts.at(1), 1);

    sheet({{"A", "x", " x"}, {"a", "X", "x"}});  // leading blanks and letter case count
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(table.at(2, 1), " x");
}

}  // namespace
