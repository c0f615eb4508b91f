// The Factors and Levels sheet as the user types into it, deletes from it and loads it: the
// counts, the spare lines and their captions stay in step with what a read sees. The rules of
// the spare lines themselves are tested on the grids (tests/model/FactorsSheetExtentTest.cpp).
#include "model/CFactors.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/support/SheetTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

#include <algorithm>

using namespace SheetTest;

namespace {
// Three factors A (a1, a2), B (b1), C (c1, c2) as a design file hands them over.
void LoadThreeFactors(frmFactorsAndLevels& sheet)
{
    LoadFactors(sheet, {{"A", "a1", "a2"}, {"B", "b1"}, {"C", "c1", "c2"}});
}
}  // namespace

class FactorsSheetTest : public SheetTestCase {
    Q_OBJECT
private slots:

    void typingIntoTheSpareLinesGrowsTheSheetAndEnterMovesDown()
    {
        frmFactorsAndLevels sheet{modMain::Workbook()};
        ShowWindow(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        CFactors& factors = modMain::Factors();
        QCOMPARE(grid.maxCols(), 1);
        QCOMPARE(grid.maxRows(), 2);
        QVERIFY(sheet.Grid->rowFont(0).bold() && sheet.Grid->rowFont(1).bold() && !sheet.Grid->rowFont(2).bold());

        // An editor left untouched changes nothing.
        ClickCell(*sheet.Grid, 1, 1);
        QTest::keyClick(sheet.Grid, Qt::Key_F2);
        QVERIFY(sheet.Grid->activeEditor());
        QTest::keyClick(sheet.Grid->activeEditor(), Qt::Key_Return);
        QCOMPARE(factors.lNumFactors(), 0);
        QVERIFY(!modMain::gbDirty);

        TypeIntoCell(*sheet.Grid, 1, 1, "Speed");
        QCOMPARE(grid.text(1, 1), QString("Speed"));  // Enter typed no line break
        QCOMPARE(sheet.Grid->activeCol(), 1);
        QCOMPARE(sheet.Grid->activeRow(), 2);
        QCOMPARE(factors.lNumFactors(), 1);
        QCOMPARE(grid.maxCols(), 2);
        QCOMPARE(grid.text(2, 0), QString("Factor 2"));
        QCOMPARE(panels.text(kPanelFactors), QString("1 Factor  "));
        ExpectFlags(true, true);

        TypeIntoCell(*sheet.Grid, 1, 2, "slow");
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(grid.text(0, 3), QString("Level 2"));
        QCOMPARE(sheet.Grid->activeRow(), 3);

        // The column typed into widens to its text, up to a limit.
        const int before = sheet.Grid->sheetColWidth(1);
        TypeIntoCell(*sheet.Grid, 1, 2, "a rather long level name");
        QCOMPARE(sheet.Grid->sheetColWidth(1), std::max(before, sheet.Grid->widestTextWidth(1)));
        TypeIntoCell(*sheet.Grid, 1, 2, QString(200, 'w'));
        QVERIFY(sheet.Grid->sheetColWidth(1) < sheet.Grid->widestTextWidth(1));
        TypeIntoCell(*sheet.Grid, 1, 2, "fast");

        TextTable table;
        LongArray counts;
        QVERIFY(factors.ReadFactorsNoValidate(table, counts));
        QCOMPARE(table.at(0, 1), QString("Speed"));
        QCOMPARE(table.at(1, 1), QString("fast"));
    }

    void loadingLaysOutTheFactorsAndDeletingColumnsRecaptionsAndKeepsASpare()
    {
        frmFactorsAndLevels sheet{modMain::Workbook()};
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(modMain::Factors().lMaxNumLevels, 2);
        QCOMPARE(panels.text(kPanelFactors), QString("3 Factors  "));
        QCOMPARE(ColCaptions(grid, 1, grid.maxCols()), (QStringList{"Factor 1", "Factor 2", "Factor 3", "Factor 4"}));
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()), (QStringList{"Factor Name", "Level 1", "Level 2", "Level 3"}));
        QCOMPARE(grid.text(3, 3), QString("c2"));
        QVERIFY(!modMain::gbDirty);  // loading is not an edit

        MarkCols(*sheet.Grid, 2, 2);
        sheet.DeleteColFromGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 2);
        QCOMPARE(panels.text(kPanelFactors), QString("2 Factors  "));
        QCOMPARE(ColCaptions(grid, 1, grid.maxCols()), (QStringList{"Factor 1", "Factor 2", "Factor 3"}));
        QCOMPARE(RowTexts(grid, 1, 1, 3), (QStringList{"A", "C", ""}));
        ExpectFlags(true, true);

        MarkCols(*sheet.Grid, 1, 3);
        sheet.DeleteColFromGrid();
        QCOMPARE(modMain::Factors().lNumFactors(), 0);
        QCOMPARE(panels.text(kPanelFactors), QString("0 Factors  "));
        QCOMPARE(ColCaptions(grid, 1, grid.maxCols()), QStringList{"Factor 1"});
        TypeIntoCell(*sheet.Grid, 1, 1, "Again");
        QCOMPARE(modMain::Factors().lNumFactors(), 1);
    }

    void deletingRowsKeepsTheNamesAndASpareAndAShortTableLoadsWhereItHasCells()
    {
        frmFactorsAndLevels sheet{modMain::Workbook()};
        ShowWindow(sheet);
        LoadThreeFactors(sheet);
        GridCellStore& grid = modMain::FactorsGrid();
        CFactors& factors = modMain::Factors();

        MarkRows(*sheet.Grid, 1, 3);
        QCOMPARE(sheet.Grid->firstSelectedRow(), 1);
        QCOMPARE(sheet.Grid->lastSelectedRow(), 3);
        ExpectOneBox(messages, [&] { sheet.DeleteRowFromGrid(); },
                     "The first row cannot be delete as it contains the factor names.",
                     MsgIcon::Information);
        QCOMPARE(grid.maxRows(), 4);
        QCOMPARE(factors.lMaxNumLevels, 2);
        QCOMPARE(grid.text(1, 2), QString("a1"));
        ExpectFlags(true, true);

        MarkRows(*sheet.Grid, 2, 2);
        sheet.DeleteRowFromGrid();
        QCOMPARE(factors.lMaxNumLevels, 1);
        QCOMPARE(RowCaptions(grid, 2, grid.maxRows()), (QStringList{"Level 1", "Level 2"}));
        QCOMPARE(grid.text(1, 2), QString("a2"));

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

    // A name of two lines shows whole: its row grows to it, loaded or pasted, and in a row made
    // short again a tooltip shows it; a name the cell shows whole gets none.
    void aNameOfTwoLinesShowsWholeInATallerRowOrATooltip()
    {
        frmFactorsAndLevels sheet{modMain::Workbook()};
        ShowWindow(sheet);
        GridView& grid = *sheet.Grid;
        LoadFactors(sheet, {{"Operating\nsystem", "Linux"}, {"B", "b1"}});
        QVERIFY(grid.sheetRowHeight(1) >= grid.tallestTextHeight(1));
        QGuiApplication::clipboard()->setText("\"Screen\nsize\nclass\"\n");
        grid.setActiveCell(3, 1);
        grid.pasteFromClipboard();
        QVERIFY(grid.sheetRowHeight(1) >= grid.tallestTextHeight(1) && grid.tallestTextHeight(1) > grid.sheetRowHeight(2));

        grid.setSheetRowHeight(1, grid.sheetRowHeight(2));  // one line, as the user may drag it
        const auto tooltipOf = [&grid](int col) {
            const QRect cell = grid.visualRect(grid.model()->index(0, col - 1));
            QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
            QCoreApplication::sendEvent(grid.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tooltipOf(2), QString());
        QCOMPARE(tooltipOf(1), QString("Operating\nsystem"));
    }

    void rightClickShowsTheEditMenu()
    {
        frmFactorsAndLevels sheet{modMain::Workbook()};
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
