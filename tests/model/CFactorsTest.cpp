#include "model/CFactors.h"

#include "tests/model/SheetFixture.h"
#include "tests/support/SeamTest.h"

namespace {

class CFactorsTest : public SeamTest {
protected:
    GridCellStore grid;
    CFactors factors{grid};
    TextTable table;
    LongArray counts;

    // Columns are {name, level 1, level 2, ...}; the used extent covers them all.
    void sheet(std::initializer_list<QStringList> columns)
    {
        FillColumns(grid, columns);
        factors.mlNumFactors = int(columns.size());
        int levels = 0;
        for (const QStringList& c : columns)
            levels = std::max(levels, int(c.size()) - 1);
        factors.lMaxNumLevels = levels;
    }

    void expectRefusal(bool validate, const QString& text, MsgIcon icon, int help)
    {
        messages.answer(MsgResult::Ok);
        const TextTable before = table;
        EXPECT_FALSE(validate ? factors.ReadFactorsAndValidate(table, counts)
                              : factors.ReadFactorsNoValidate(table, counts));
        const MessageRequest box = takeOnlyMessage();
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_EQ(box.helpContext, help);
        EXPECT_EQ(table, before) << "the caller's table must stay untouched";
    }
};

const QString kNeedFactor = "You must have at least one factor and one level defined.";

TEST_F(CFactorsTest, AFreshSheetIsRefusedInBothForms)
{
    expectRefusal(false, kNeedFactor, MsgIcon::None, 0);
    expectRefusal(true, kNeedFactor, MsgIcon::None, 0);
}

TEST_F(CFactorsTest, OneFactorIsEnoughToSaveButNotToValidate)
{
    sheet({{"A", "x", "y"}});
    ASSERT_TRUE(factors.ReadFactorsNoValidate(table, counts));
    EXPECT_EQ(table.colUpper(), 1);
    EXPECT_EQ(counts.at(1), 2);
    expectRefusal(true, kNeedFactor, MsgIcon::None, 0);
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

TEST_F(CFactorsTest, LevelsArePackedUpwardAndSixSpacesAreAName)
{
    sheet({{"A", "x", "", "y", "   ", "      "}, {"B", "p"}});
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(counts.at(1), 3);
    EXPECT_EQ(table.at(1, 1), "x");
    EXPECT_EQ(table.at(2, 1), "y");
    EXPECT_EQ(table.at(3, 1), "      ");
    EXPECT_EQ(table.at(4, 1), "");
    EXPECT_EQ(table.at(5, 1), "");
    EXPECT_EQ(table.rowUpper(), 5) << "the level rows keep lMaxNumLevels";
    EXPECT_EQ(table.at(2, 2), "");
}

TEST_F(CFactorsTest, SpareColumnAndRowAreNotRead)
{
    sheet({{"A", "x"}, {"B", "y"}});
    FillColumns(grid, {{"A", "x", "spare"}, {"B", "y"}, {"C", "z"}});
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(table.colUpper(), 2);
    EXPECT_EQ(counts.at(1), 1);
}

TEST_F(CFactorsTest, NamesAreExactLeadingBlanksAndCaseCount)
{
    sheet({{"A", "x", " x"}, {"a", "X", "x"}});
    ASSERT_TRUE(factors.ReadFactorsAndValidate(table, counts));
    EXPECT_EQ(table.at(2, 1), " x");
}

TEST_F(CFactorsTest, ValidationProblemsAndTheirMessages)
{
    sheet({{"A", "x"}, {"B"}});
    ASSERT_TRUE(factors.ReadFactorsNoValidate(table, counts));
    EXPECT_EQ(counts.at(2), 0);
    expectRefusal(true, "Factor 'B' has no levels defined.", MsgIcon::Critical, 29);

    sheet({{"A", "x"}, {"B", "y"}, {"A", "z"}});
    expectRefusal(true, "The factor name 'A' was used more than once. Each factor name must be unique.",
                  MsgIcon::Critical, 30);

    sheet({{"A", "x", "y", "x"}, {"B", "y"}, {"C", "z"}});
    expectRefusal(true, "There are redundant levels in factor 'A' both are named 'x'", MsgIcon::Critical, 28);
}

TEST_F(CFactorsTest, ProblemsAreReportedInReadingOrder)
{
    // Duplicate names come before missing levels, missing levels before redundant ones,
    // and the first factor without levels is the one named.
    sheet({{"A", "x", "x"}, {"B"}, {"C"}, {"B", "q"}});
    expectRefusal(true, "The factor name 'B' was used more than once. Each factor name must be unique.",
                  MsgIcon::Critical, 30);
    sheet({{"A", "x", "x"}, {"B"}, {"C"}, {"D", "q"}});
    expectRefusal(true, "Factor 'B' has no levels defined.", MsgIcon::Critical, 29);
}

TEST_F(CFactorsTest, TwoBlankNamedColumnsInsideTheUsedPartAreDuplicates)
{
    sheet({{"", "x"}, {"", "y"}, {"C", "z"}});
    expectRefusal(true, "The factor name '' was used more than once. Each factor name must be unique.",
                  MsgIcon::Critical, 30);
}

TEST_F(CFactorsTest, TheCountPropertyWritesTheStatusPanel)
{
    factors.setLNumFactors(1);
    EXPECT_EQ(panels.text(kPanelFactors), "1 Factor  ");
    factors.setLNumFactors(0);
    EXPECT_EQ(panels.text(kPanelFactors), "0 Factors  ");
    factors.setLNumFactors(2);
    EXPECT_EQ(panels.text(kPanelFactors), "2 Factors  ");
    EXPECT_EQ(factors.lNumFactors(), 2);
}

}  // namespace
