// The Factors and Levels sheet as the user types into it, deletes from it and loads it:
// the counts, the spare lines and their captions stay in step with what a read sees.
#include "model/CFactors.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/sheets/SheetTestSupport.h"

#include <QAbstractItemModelTester>
#include <QMenu>

using namespace SheetTest;

namespace {
// Three factors A (a1, a2), B (b1), C (c1, c2) as a design file hands them over.
void LoadThreeFactors(frmFactorsAndLevels& sheet)
{
    TextTable factors(0, 2, 1, 3);
    const QStringList columns[] = {{"A", "a1", "a2"}, {"B", "b1", ""}, {"C", "c1", "c2"}};
    for (int f = 1; f <= 3; ++f)
        for (int l = 0; l <= 2; ++l)
            factors(l, f) = columns[f - 1][l];
    LongArray counts(1, 3);
    counts(1) = 2;
    counts(2) = 1;
    counts(3) = 2;
    QVERIFY(sheet.LoadDataIntoGrid(3, 2, factors, counts));
}
}  // namespace

class FactorsSheetTest : public SheetTestCase {
    Q_OBJECT
private slots:

    void anEmptySheetHasOneSpareColumnAndRow()
    {
        QAbstractItemModelTester tester(&modMain::FactorsGrid(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        frmFactorsAndLevels sheet;
        GridCellStore& grid = modMain::FactorsGrid();
        QVERIFY(sheet.mbFormLoaded);
        QCOMPARE(grid.maxCols(), 1);
        QCOMPARE(grid.maxRows(), 2);
        QCOMPARE(grid.text(0, 0), QString("Factor #"));
        QCOMPARE(ColCaptions(grid, 1, 1), QStringList{"Factor 1"});
        QCOMPARE(RowCaptions(grid, 1, 2), (QStringList{"Factor Name", "Level 1"}));
        QVERIFY(sheet.Grid->rowFont(0).bold());
        QVERIFY(sheet.Grid->rowFont(1).bold());
        QVERIFY(!sheet.Grid->rowFont(2).bold());
        QVERIFY(grid.isEditable(1, 1));
        QVERIFY(!modMain::gbDirty);
    }

    void typingGrowsTheSheetAndEnterMovesDown()
    {
        QAbstractItemModelTester tester(&modMain::FactorsGrid(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        CFactors& factors = modMain::Factors();

        TypeIntoCell(*sheet.Grid, 1, 1, "Speed");
        QCOMPARE(grid.text(1, 1), QString("Speed"));  // Enter typed no line break
        QCOMPARE(sheet.Grid->activeCol(), 1);
        QCOMPARE(sheet.Grid->activeRow(), 2);
        QCOMPARE(factors.lNumFactors(), 1);
        QCOMPARE(grid.maxCols(), 2);
        QCOMPARE(grid.text(2, 0), QString("Factor 2"));
        QCOMPARE(panels.text(kPanelFactors), QString("1 Factor  "));
        QVERIFY(modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);

        TypeIntoCell(*sheet.Grid, 1, 2, "slow");
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(grid.text(0, 3), QString("Level 2"));
        QCOMPARE(sheet.Grid->activeRow(), 3);

        // Changing a level of a used row adds nothing; a level in the spare column adds no factor.
        TypeIntoCell(*sheet.Grid, 1, 2, "fast");
        TypeIntoCell(*sheet.Grid, 2, 2, "stray");
        QCOMPARE(factors.lNumFactors(), 1);
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(grid.maxRows(), 3);

        TextTable table;
        LongArray counts;
        QVERIFY(factors.ReadFactorsNoValidate(table, counts));
        QCOMPARE(table.at(0, 1), QString("Speed"));
        QCOMPARE(table.at(1, 1), QString("fast"));
    }

    void leavingACellUntouchedChangesNothing()
    {
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        ClickCell(*sheet.Grid, 1, 1);
        QTest::keyClick(sheet.Grid, Qt::Key_F2);
        QVERIFY(sheet.Grid->activeEditor());
        QTest::keyClick(sheet.Grid->activeEditor(), Qt::Key_Return);
        QCOMPARE(modMain::Factors().lNumFactors(), 0);
        QVERIFY(!modMain::gbDirty);
    }

    void loadingLaysOutTheFactors()
    {
        QAbstractItemModelTester tester(&modMain::FactorsGrid(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        frmFactorsAndLevels sheet;
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(modMain::Factors().lMaxNumLevels, 2);
        QCOMPARE(panels.text(kPanelFactors), QString("3 Factors  "));
        QCOMPARE(grid.maxCols(), 4);
        QCOMPARE(grid.maxRows(), 4);
        QCOMPARE(ColCaptions(grid, 1, 4), (QStringList{"Factor 1", "Factor 2", "Factor 3", "Factor 4"}));
        QCOMPARE(RowCaptions(grid, 1, 4), (QStringList{"Factor Name", "Level 1", "Level 2", "Level 3"}));
        QCOMPARE(grid.text(3, 3), QString("c2"));
        QVERIFY(!modMain::gbDirty);  // loading is not an edit

        // A table smaller than the counts it comes with is read only where it has cells.
        TextTable small(0, 1, 1, 1);
        small(0, 1) = "X";
        small(1, 1) = "x1";
        LongArray tooMany(1, 1);
        tooMany(1) = 5;
        QVERIFY(sheet.LoadDataIntoGrid(2, 3, small, tooMany));
        QCOMPARE(grid.text(1, 2), QString("x1"));
        QCOMPARE(grid.text(2, 1), QString());
    }

    void deletingTheMiddleColumnRecaptions()
    {
        QAbstractItemModelTester tester(&modMain::FactorsGrid(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();

        MarkCols(*sheet.Grid, 2, 2);
        sheet.DeleteColFromGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 2);
        QCOMPARE(panels.text(kPanelFactors), QString("2 Factors  "));
        QCOMPARE(grid.maxCols(), 3);
        QCOMPARE(ColCaptions(grid, 1, 3), (QStringList{"Factor 1", "Factor 2", "Factor 3"}));
        QCOMPARE(grid.text(1, 1), QString("A"));
        QCOMPARE(grid.text(2, 1), QString("C"));
        QCOMPARE(grid.text(3, 1), QString());
        QVERIFY(modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
    }

    void deletingTheSpareColumnOrEveryColumnKeepsASpare()
    {
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();

        // The last factor does not slip into the spare column.
        MarkCols(*sheet.Grid, 4, 4);
        sheet.DeleteColFromGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(grid.maxCols(), 4);
        QCOMPARE(grid.text(3, 1), QString("C"));

        MarkCols(*sheet.Grid, 1, 4);
        sheet.DeleteColFromGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 0);
        QCOMPARE(panels.text(kPanelFactors), QString("0 Factors  "));
        QCOMPARE(grid.maxCols(), 1);
        QCOMPARE(ColCaptions(grid, 1, 1), QStringList{"Factor 1"});
        TypeIntoCell(*sheet.Grid, 1, 1, "Again");
        QCOMPARE(modMain::Factors().lNumFactors(), 1);
    }

    void deletingFromTheNameRowIsRefused()
    {
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();

        MarkRows(*sheet.Grid, 1, 3);
        QCOMPARE(sheet.Grid->firstSelectedRow(), 1);
        QCOMPARE(sheet.Grid->lastSelectedRow(), 3);
        messages.answer(MsgResult::Ok);
        sheet.DeleteRowFromGrid();
        TakeOnlyMessage(messages, "The first row cannot be delete as it contains the factor names.",
                        MsgIcon::Information);
        QCOMPARE(grid.maxRows(), 4);
        QCOMPARE(modMain::Factors().lMaxNumLevels, 2);
        QCOMPARE(grid.text(1, 2), QString("a1"));
        QVERIFY(modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
    }

    void deletingLevelRowsRecaptionsAndKeepsASpare()
    {
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        CFactors& factors = modMain::Factors();

        MarkRows(*sheet.Grid, 2, 2);
        sheet.DeleteRowFromGrid();
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(RowCaptions(grid, 2, 3), (QStringList{"Level 1", "Level 2"}));
        QCOMPARE(grid.text(1, 2), QString("a2"));

        // Deleting the spare row leaves the last level in the read.
        MarkRows(*sheet.Grid, 3, 3);
        sheet.DeleteRowFromGrid();
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(grid.maxRows(), 3);
        TextTable table;
        LongArray counts;
        QVERIFY(factors.ReadFactorsNoValidate(table, counts));
        QCOMPARE(table.at(1, 3), QString("c2"));
    }

    void rightClickShowsTheEditMenu()
    {
        frmFactorsAndLevels sheet;
        ShowWindow(sheet);
        ClickCell(*sheet.Grid, 1, 1, {}, Qt::RightButton);  // no menu given yet: nothing happens

        QMenu edit;
        edit.addAction("Cut");
        sheet.setEditMenu(&edit);
        ClickCell(*sheet.Grid, 1, 1, {}, Qt::RightButton);
        QTRY_VERIFY(edit.isVisible());
        edit.close();
    }
};

QTEST_MAIN(FactorsSheetTest)
#include "FactorsSheetTest.moc"
