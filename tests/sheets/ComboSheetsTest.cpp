// The Constraints and Previous Test sheets: drop-down lists built from the current factors,
// growth through the spare row, loading and row deletion.
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmPrevRuns.h"
#include "tests/support/SheetTest.h"
#include "tests/support/TestTables.h"

using namespace SheetTest;

class ComboSheetsTest : public SheetTestCase {
    Q_OBJECT
private slots:

    void initialisingNeedsTwoValidFactors()
    {
        frmFactorsAndLevels factors{modMain::Workbook()};
        frmConstraints constraints{modMain::Workbook()};
        frmPrevRuns prevRuns{modMain::Workbook()};
        LoadFactors(factors, {{"A", "x", "y"}});

        ExpectOneBox(messages, [&] { QVERIFY(!prevRuns.InitGridForPreviousRuns()); },
                     "You must have at least two factors before you can add Previous Test.", MsgIcon::None);

        // The factor table's own validation speaks for itself, and the lists stay as they were.
        LoadFactors(factors, {{"A", "x", "y"}, {"A", "p"}});
        ExpectOneBox(messages, [&] { QVERIFY(!constraints.InitGridForFactorsAndLevels()); },
                     "The factor name 'A' was used more than once. Each factor name must be unique.",
                     MsgIcon::Critical, MsgButtons::Ok, 30);
        QCOMPARE(constraints.mlNumListFactors, 0);

        LoadFactors(factors, {{"A", "x", "y"}, {"B", "p", "q"}});
        QVERIFY(constraints.InitGridForFactorsAndLevels());
        QCOMPARE(constraints.mlNumListFactors, 2);
        QVERIFY(prevRuns.InitGridForPreviousRuns());
        QCOMPARE(ColCaptions(modMain::PrevRunsGrid(), 1, modMain::PrevRunsGrid().maxCols()), (QStringList{"A", "B"}));
        QVERIFY(!modMain::gbDirty);
    }

    void constraintsOfferTheChosenFactorsLevelsLoadAndDelete()
    {
        frmFactorsAndLevels factors{modMain::Workbook()};
        LoadFactors(factors, {{"A", "x", "y"}, {"B", "p", "q"}});
        frmConstraints sheet{modMain::Workbook()};
        ShowWindow(sheet);
        QVERIFY(sheet.InitGridForFactorsAndLevels());
        GridCellStore& grid = modMain::ConstraintsGrid();

        QComboBox* factor = OpenCombo(*sheet.Grid, 1, 1);
        QVERIFY(factor);
        QCOMPARE(ComboItems(factor), (QStringList{"", "A", "B"}));
        QTest::keyClick(factor, Qt::Key_B);
        QCOMPARE(grid.text(1, 1), QString("B"));
        // The spare row was used: the count, the status bar and a new spare row follow.
        QCOMPARE(modMain::Constraints().lNumConstraints(), 1);
        QCOMPARE(panels.text(kPanelConstraints), QString("1 Constraint  "));
        QCOMPARE(grid.maxRows(), 2);
        QCOMPARE(grid.text(0, 2), QString("Constraint 2"));
        QVERIFY(grid.isComboCell(4, 2));
        ExpectFlags(true, true);

        QComboBox* level = OpenCombo(*sheet.Grid, 2, 1);
        QVERIFY(level);
        QCOMPARE(ComboItems(level), (QStringList{"", "p", "q"}));
        QTest::keyClick(level, Qt::Key_Q);
        QCOMPARE(grid.text(2, 1), QString("q"));

        // The empty first item blanks the cell; a used row adds no row.
        level = OpenCombo(*sheet.Grid, 2, 1);
        QTest::keyClick(level, Qt::Key_Home);
        QCOMPARE(grid.text(2, 1), QString());
        QCOMPARE(modMain::Constraints().lNumConstraints(), 1);

        // A level cell whose factor cell is empty gets no list.
        ClickCell(*sheet.Grid, 4, 2);
        QCOMPARE(grid.comboList(4, 2), QString());
        QCOMPARE(modMain::Constraints().lNumConstraints(), 1);

        // Loading replaces the rows and is no edit.
        modMain::gbDirty = modMain::gbDesignChanged = false;
        QVERIFY(sheet.LoadDataIntoGrid(5, TestTables::Rows({{"A", "x", "B", "p"}, {"A", "y", "B", "q"},
                                                            {"B", "p", "A", "x"}, {"B", "q", "A", "y"},
                                                            {"Z", "z", "A", "x"}}, 4)));
        QCOMPARE(panels.text(kPanelConstraints), QString("5 Constraints  "));
        QCOMPARE(grid.maxRows(), 6);
        QCOMPARE(RowCaptions(grid, 1, 6).last(), QString("Constraint 6"));
        QCOMPARE(grid.comboList(2, 3), QString("\tp\tq"));
        QCOMPARE(grid.comboList(4, 3), QString("\tx\ty"));
        // A factor that is not in the list gives its level no list, yet the level stays.
        QCOMPARE(RowTexts(grid, 5, 1, 4), (QStringList{"Z", "z", "A", "x"}));
        QCOMPARE(grid.comboList(2, 5), QString());
        QVERIFY(!modMain::gbDirty);

        MarkRows(*sheet.Grid, 2, 3);
        sheet.DeleteRowFromGrid();
        QCOMPARE(modMain::Constraints().lNumConstraints(), 3);
        QCOMPARE(panels.text(kPanelConstraints), QString("3 Constraints  "));
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()),
                 (QStringList{"Constraint 1", "Constraint 2", "Constraint 3", "Constraint 4"}));
        QCOMPARE(RowTexts(grid, 2, 1, 4), (QStringList{"B", "q", "A", "y"}));
        ExpectFlags(true, true);

        // The spare row deleted: the last constraint stays counted, a spare row comes back.
        MarkRows(*sheet.Grid, 4, 4);
        sheet.DeleteRowFromGrid();
        QCOMPARE(modMain::Constraints().lNumConstraints(), 3);
        QCOMPARE(grid.maxRows(), 4);
        QVERIFY(grid.isComboCell(1, 4));

        // Nothing to load leaves the rows alone.
        QVERIFY(sheet.LoadDataIntoGrid(0, TextTable()));
        QCOMPARE(modMain::Constraints().lNumConstraints(), 0);
        QCOMPARE(grid.maxRows(), 4);
    }

    void columnsCannotBeDeleted()
    {
        frmConstraints constraints{modMain::Workbook()};
        frmPrevRuns prevRuns{modMain::Workbook()};
        const std::pair<SheetWindow*, const char*> refusals[] = {
            {&constraints, "You cannot delete a column from the constraints grid."},
            {&prevRuns, "You cannot delete a column from the previous test grid."}};
        for (const auto& [sheet, text] : refusals) {
            ExpectOneBox(messages, [&] { sheet->DeleteColFromGrid(); }, text, MsgIcon::Information);
        }
        QCOMPARE(modMain::ConstraintsGrid().maxCols(), 4);
        ExpectFlags(false, false);
    }

    void previousTestsGrowFromTheSpareRowLoadAndDelete()
    {
        frmFactorsAndLevels factors{modMain::Workbook()};
        LoadFactors(factors, {{"A", "x", "y"}, {"B", "p", "q"}});
        frmPrevRuns sheet{modMain::Workbook()};
        ShowWindow(sheet);
        GridCellStore& grid = modMain::PrevRunsGrid();
        QVERIFY(sheet.LoadDataIntoGrid(0, TextTable()));  // nothing to load: the sheet as set up
        QCOMPARE(grid.maxCols(), 1);
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()), QStringList{"Prev Test 1"});
        QVERIFY(sheet.InitGridForPreviousRuns());

        QComboBox* level = OpenCombo(*sheet.Grid, 2, 1);
        QVERIFY(level);
        QCOMPARE(ComboItems(level), (QStringList{"", "p", "q"}));
        QTest::keyClick(level, Qt::Key_P);
        QCOMPARE(grid.text(2, 1), QString("p"));
        QCOMPARE(modMain::PrevRuns().lNumPrevRuns(), 1);
        QCOMPARE(panels.text(kPanelPrevTest), QString("1 Prev Run  "));
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()), (QStringList{"Prev Test 1", "Prev Test 2"}));
        QVERIFY(grid.isComboCell(1, 2) && grid.isComboCell(2, 2));

        QVERIFY(sheet.LoadDataIntoGrid(3, TestTables::Rows({{"x", "p"}, {"y", "q"}, {"x", "q"}}, 2)));
        QCOMPARE(panels.text(kPanelPrevTest), QString("3 Prev Test  "));
        QCOMPARE(ColCaptions(grid, 1, 2), (QStringList{"A", "B"}));
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()),
                 (QStringList{"Prev Test 1", "Prev Test 2", "Prev Test 3", "Prev Test 4"}));
        QCOMPARE(RowTexts(grid, 3, 1, 2), (QStringList{"x", "q"}));
        QCOMPARE(grid.comboList(1, 2), QString("\tx\ty"));

        modMain::gbDirty = false;
        MarkRows(*sheet.Grid, 1, 1);
        sheet.DeleteRowFromGrid();
        QCOMPARE(modMain::PrevRuns().lNumPrevRuns(), 2);
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()), (QStringList{"Prev Test 1", "Prev Test 2", "Prev Test 3"}));
        QCOMPARE(RowTexts(grid, 1, 1, 2), (QStringList{"y", "q"}));
        QVERIFY(modMain::gbDirty);

        // A factor added on its sheet gets its column at the next initialisation.
        ShowWindow(factors);
        TypeIntoCell(*factors.Grid, 3, 1, "C");
        TypeIntoCell(*factors.Grid, 3, 2, "c1");
        QVERIFY(sheet.InitGridForPreviousRuns());
        QCOMPARE(ColCaptions(grid, 1, grid.maxCols()), (QStringList{"A", "B", "C"}));
    }

    void loadingKeepsEveryColumnWhenTheFactorsCannotBeRead()
    {
        frmFactorsAndLevels factors{modMain::Workbook()};
        LoadFactors(factors, {{"A", "x"}, {"B"}});  // B has no levels
        frmPrevRuns sheet{modMain::Workbook()};
        frmConstraints constraints{modMain::Workbook()};
        ExpectOneBox(messages, [&] { QVERIFY(sheet.LoadDataIntoGrid(1, TestTables::Rows({{"x", "p"}}, 2))); },
                     "Factor 'B' has no levels defined.", MsgIcon::Critical, MsgButtons::Ok, 29);
        QCOMPARE(RowTexts(modMain::PrevRunsGrid(), 1, 1, 2), (QStringList{"x", "p"}));

        ExpectOneBox(messages,
                     [&] { QVERIFY(constraints.LoadDataIntoGrid(1, TestTables::Rows({{"A", "x", "B", "p"}}, 4))); },
                     "Factor 'B' has no levels defined.", MsgIcon::Critical, MsgButtons::Ok, 29);
        QCOMPARE(RowTexts(modMain::ConstraintsGrid(), 1, 1, 4), (QStringList{"A", "x", "B", "p"}));
    }
};

QTEST_MAIN(ComboSheetsTest)
#include "ComboSheetsTest.moc"
