// The Test Cases sheet: the matrix it shows after a generation or an open, and the lock
// that keeps the user from changing it.
#include "sheets/SheetLoadProgress.h"
#include "sheets/frmGenerate.h"
#include "tests/support/SheetTest.h"

#include <QGuiApplication>

#include <vector>

using namespace SheetTest;

namespace {
// Factor names F1..Fn in level 0 of a factor table.
TextTable FactorNames(int numFactors)
{
    TextTable factors(0, 1, 1, numFactors);
    for (int f = 1; f <= numFactors; ++f)
        factors(0, f) = QStringLiteral("F%1").arg(f);
    return factors;
}

// Test case i holds "c<i>l<f>" for factor f.
TextTable Matrix(int numCases, int numFactors)
{
    TextTable matrix(1, numCases, 1, numFactors);
    for (int i = 1; i <= numCases; ++i)
        for (int f = 1; f <= numFactors; ++f)
            matrix(i, f) = QStringLiteral("c%1l%2").arg(i).arg(f);
    return matrix;
}

class RecordingProgress : public SheetLoadProgress {
public:
    void Show() override { ++shown; }
    bool UpdateProgress(int bar, double fraction) override
    {
        bars.push_back(bar);
        fractions.push_back(fraction);
        waitCursorMeanwhile = QGuiApplication::overrideCursor() &&
                              QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return false;
    }
    void Close() override { ++closed; }

    int shown = 0, closed = 0;
    std::vector<int> bars;
    std::vector<double> fractions;
    bool waitCursorMeanwhile = false;
};
}  // namespace

class TestCasesSheetTest : public SheetTestCase {
    Q_OBJECT
private slots:

    void columnLetters()
    {
        for (const auto& [index, letters] : {std::pair{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"},
                                             {702, "ZZ"}, {703, "[A"}})
            QCOMPARE(frmGenerate::GetIndexLetter(index), QString(letters));
    }

    void removedCasesLeaveNoGapAndTheMatrixIsLocked()
    {
        frmGenerate sheet{modMain::Workbook()};
        ShowWindow(sheet);
        GridCellStore& grid = modMain::TestCasesGrid();
        sheet.LoadMatrixIntoGrid(2, FactorNames(2), Matrix(3, 2), {false, true, false});
        QCOMPARE(RowCaptions(grid, 1, grid.maxRows()), (QStringList{"Factor Name", "Case 1", "Case 2"}));
        QCOMPARE(ColCaptions(grid, 1, grid.maxCols()), (QStringList{"Factor_A", "Factor_B"}));
        QCOMPARE(grid.text(2, 1), QString("F2"));
        QCOMPARE(grid.text(1, 2), QString("c1l1"));
        QCOMPARE(grid.text(2, 3), QString("c3l2"));
        QVERIFY(!QGuiApplication::overrideCursor());

        // A shorter removal list keeps the cases it does not mention.
        sheet.LoadMatrixIntoGrid(2, FactorNames(2), Matrix(3, 2), {true});
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(grid.text(1, 2), QString("c2l1"));

        // An empty result leaves the sheet as it was.
        sheet.LoadMatrixIntoGrid(2, FactorNames(2), TextTable(), {});
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(grid.text(1, 2), QString("c2l1"));
        QVERIFY(!QGuiApplication::overrideCursor());

        ClickCell(*sheet.Grid, 1, 2);
        ExpectOneBox(messages, [&] { QTest::keyClick(sheet.Grid, Qt::Key_X); },
                     "The test case matrix is locked to prevent accidental changing of results.",
                     MsgIcon::Information);
        QVERIFY(!sheet.Grid->activeEditor());
        QTest::keyClick(sheet.Grid, Qt::Key_F2);  // no editor opens on a locked cell
        QVERIFY(!sheet.Grid->activeEditor());

        MarkRows(*sheet.Grid, 2, 3);
        ExpectOneBox(messages, [&] { sheet.DeleteRowFromGrid(); },
                     "You cannot delete a row from the Test Cases Grid.", MsgIcon::Information);
        QCOMPARE(grid.maxRows(), 3);
        QCOMPARE(grid.text(1, 2), QString("c2l1"));
        ExpectFlags(false, false);
    }

    void captionsOfManyFactors()
    {
        frmGenerate sheet{modMain::Workbook()};
        GridCellStore& grid = modMain::TestCasesGrid();
        sheet.LoadMatrixIntoGrid(27, FactorNames(27), Matrix(2, 27), {false, false});
        QCOMPARE(grid.text(27, 0), QString("Factor_AA"));

        // The same block saved and opened again.
        const TextTable block = grid.readBlock(1, 1, grid.maxRows(), grid.maxCols());
        sheet.SetupGrid();
        QVERIFY(sheet.LoadSavedMatrix(block.rowCount(), block.colCount(), block));
        QCOMPARE(grid.text(27, 0), QString("Factor AA"));
        QCOMPARE(RowCaptions(grid, 1, 3), (QStringList{"Factor Name", "Case 1", "Case 2"}));
        QCOMPARE(grid.readBlock(1, 1, grid.maxRows(), grid.maxCols()), block);
        QVERIFY(grid.isLocked(5, 2));

        QVERIFY(!sheet.LoadSavedMatrix(0, 3, TextTable()));
        QCOMPARE(grid.maxCols(), 27);
    }

    void longLoadsShowTheirProgress()
    {
        frmGenerate sheet{modMain::Workbook()};
        RecordingProgress progress;
        sheet.setProgress(&progress);
        sheet.LoadMatrixIntoGrid(2, FactorNames(2), Matrix(200, 2), std::vector<bool>(200, false));
        QCOMPARE(progress.shown, 0);
        QVERIFY(progress.bars.empty());

        sheet.LoadMatrixIntoGrid(2, FactorNames(2), Matrix(250, 2), std::vector<bool>(250, false));
        QCOMPARE(progress.shown, 1);
        QCOMPARE(progress.closed, 1);
        // Every second case (250 / 100 rounds to 2, halves going to even), on bar 4.
        QCOMPARE(progress.bars.size(), std::size_t(125));
        QCOMPARE(progress.bars.front(), 4);
        QCOMPARE(progress.fractions.front(), 2.0 / 250.0);
        QCOMPARE(progress.fractions.back(), 1.0);
        QVERIFY(progress.waitCursorMeanwhile);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 251);
    }
};

QTEST_MAIN(TestCasesSheetTest)
#include "TestCasesSheetTest.moc"
