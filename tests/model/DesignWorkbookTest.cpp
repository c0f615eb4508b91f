#include "model/DesignWorkbook.h"

#include "tests/support/SeamTest.h"
#include "tests/support/TestTables.h"

namespace {

// A design as a file holds it: factor columns (name, then levels), constraint rows, previous
// test rows and the matrix rows (the names row first).
DesignText Design(const Cells& factorColumns, const Cells& constraints, const Cells& prevRuns, const Cells& matrix)
{
    DesignText d;
    d.numFactors = int(factorColumns.size());
    d.factors = TestTables::FactorTable(factorColumns, d.levelCounts);
    d.maxNumLevels = d.factors.rowUpper();
    d.numConstraints = int(constraints.size());
    d.constraints = TestTables::Rows(constraints, 4);
    d.numPrevRuns = int(prevRuns.size());
    d.prevRuns = TestTables::Rows(prevRuns, d.numFactors);
    d.numRows = int(matrix.size());
    d.numCols = matrix.isEmpty() ? 0 : int(matrix[0].size());
    d.matrix = TestTables::Rows(matrix);
    return d;
}

using DesignWorkbookTest = SeamTest;

// What the sheets' reads get back from a put design, and what the status bar shows.
TEST_F(DesignWorkbookTest, APutDesignReadsBackWithItsCounts)
{
    struct Case {
        const char* name;
        DesignText design;
        const char *factorsPanel, *constraintsPanel, *prevRunsPanel;
    };
    const Case cases[] = {
        {"every table", Design({{"A", "a1", "a2"}, {"B", "b1"}}, {{"A", "a1", "B", "b1"}}, {{"a2", "b1"}, {"a1", "b1"}},
                               {{"A", "B"}, {"a1", "b1"}}),
         "2 Factors  ", "1 Constraint  ", "2 Prev Test  "},
        {"factors only", Design({{"A", "a1"}}, {}, {}, {}), "1 Factor  ", "0 Constraints  ", "0 Prev Test  "},
        {"uneven levels", Design({{"A", "a1"}, {"B", "b1", "b2", "b3"}, {"C", "c1", "c2"}}, {}, {{"a1", "b3", "c2"}}, {}),
         "3 Factors  ", "0 Constraints  ", "1 Prev Run  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignText& d = c.design;
        DesignWorkbook workbook;
        workbook.TestCasesGrid().setMaxRows(1);  // the sheet as set up: a design without a matrix keeps it
        workbook.Put(d);

        EXPECT_EQ(workbook.Factors().lMaxNumLevels, d.maxNumLevels);
        EXPECT_EQ(panels.text(kPanelFactors), QLatin1String(c.factorsPanel));
        EXPECT_EQ(panels.text(kPanelConstraints), QLatin1String(c.constraintsPanel));
        EXPECT_EQ(panels.text(kPanelPrevTest), QLatin1String(c.prevRunsPanel));

        DesignText read;
        ASSERT_TRUE(workbook.Factors().ReadFactorsNoValidate(read.factors, read.levelCounts));
        ASSERT_TRUE(workbook.Constraints().ReadConstraintsNoValidate(read.factors, read.levelCounts, read.constraints,
                                                                     read.numConstraints));
        ASSERT_TRUE(workbook.PrevRuns().ReadPrevRunsNoValidate(read.factors, read.levelCounts, read.prevRuns,
                                                               read.numPrevRuns));
        EXPECT_EQ(read.factors, d.factors);
        EXPECT_EQ(read.levelCounts, d.levelCounts);
        EXPECT_EQ(read.numConstraints, d.numConstraints);
        EXPECT_EQ(read.numPrevRuns, d.numPrevRuns);
        if (d.numConstraints > 0) {
            EXPECT_EQ(read.constraints, d.constraints);
        }
        if (d.numPrevRuns > 0) {
            EXPECT_EQ(read.prevRuns, d.prevRuns);
        }

        const GridCellStore& testCases = workbook.TestCasesGrid();
        EXPECT_EQ(testCases.maxRows(), std::max(d.numRows, 1));
        if (d.numRows > 0) {
            EXPECT_EQ(testCases.readBlock(1, 1, d.numRows, d.numCols), d.matrix);
        }
    }
}

// A model text's comments stay with their factor's name wherever its column goes, or with
// their column when the factor is renamed; a new design drops them.
TEST_F(DesignWorkbookTest, AModelTextsLayoutComesBackWithItsFactors)
{
    DesignText d = Design({{"A", "a1", "a2"}, {"B", "b1", "b2"}}, {}, {}, {});
    d.textLayout.aboveFactor = {{1, "# on A\n"}, {2, "\n# on B\n"}};
    d.textLayout.aboveRules = "";
    d.textLayout.groupLines = {{"{ [A], [B] } @ 2;", "{ A, B } @ 2"}};
    DesignWorkbook workbook;
    workbook.Put(d);
    const auto read = [&workbook] {
        DesignText t;
        EXPECT_TRUE(workbook.Read(false, t));
        return t.textLayout;
    };
    EXPECT_EQ(read(), d.textLayout);

    GridCellStore& grid = workbook.FactorsGrid();
    grid.setText(1, 1, "C");  // A renamed
    EXPECT_EQ(read(), d.textLayout);
    for (int row = 1; row <= 3; ++row) {  // B and C change places; C becomes D
        const QString c = grid.text(1, row);
        grid.setText(1, row, grid.text(2, row));
        grid.setText(2, row, row == 1 ? "D" : c);
    }
    ModelTextLayout moved = d.textLayout;
    moved.aboveFactor = {{1, "\n# on B\n"}};  // A's column is B's now, which has its own
    EXPECT_EQ(read(), moved);

    workbook.ForgetTextLayout();
    EXPECT_EQ(read(), ModelTextLayout());
}

}  // namespace
