// The Edit menu's clipboard commands and the print commands on the sheet shown, driven
// through their tool IDs: the Test Cases refusals, Clear over several blocks, copying to and
// pasting from a spreadsheet's clipboard text, and printing to a PDF read back as text.
#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/CFactors.h"
#include "model/GridCellStore.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/PdfPrinterSetup.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QRegularExpression>

using namespace SheetTest;

namespace {
// The Test Cases sheet as a generation leaves it: row 1 the names, then numCases cases.
void LoadCases(frmMain& w, int numCases)
{
    Cells cases;
    for (int r = 1; r <= numCases; ++r)
        cases.append({QString("b%1").arg(r), QString("o%1").arg(r)});
    DesignLoader::LoadTestCases(w, {{"Browser", {}}, {"OS", {}}}, cases);
}

void Mark(GridView& grid, int col1, int row1, int col2, int row2)
{
    const QModelIndex tl = grid.model()->index(row1 - 1, col1 - 1), br = grid.model()->index(row2 - 1, col2 - 1);
    grid.selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::Select);
}
}  // namespace

class EditCommandsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT
private slots:
    void clearEmptiesExactlyTheMarkedBlocks()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2", "a3"}}, {"B", {"b1", "b2", "b3"}}, {"C", {"c1", "c2", "c3"}}});
        GridView& grid = *w.FactorsSheet()->Grid;
        grid.clearSelection();
        Mark(grid, 1, 1, 1, 1);
        Mark(grid, 2, 2, 3, 2);
        Mark(grid, 3, 4, 3, 4);
        w.Tool(ToolId::Clear)->trigger();
        QCOMPARE(Lines(modMain::FactorsGrid()),
                 (QStringList{"|B|C|", "a1|||", "a2|b2|c2|", "a3|b3||", "|||"}));
        QCOMPARE(modMain::Factors().lNumFactors(), 3);  // clearing never shrinks the sheet
        ExpectFlags(true, true);
    }

    void theTestCasesSheetCopiesButRefusesChanges()
    {
        frmMain& w = shownWindow();
        LoadCases(w, 3);
        w.Tool(ToolId::TestCases)->trigger();
        const QStringList before = Lines(modMain::TestCasesGrid());
        GridView& grid = *w.TestCasesSheet()->Grid;
        grid.selectBlock(1, 1, 2, 2);

        const std::pair<const char*, const char*> refusals[] = {
            {ToolId::Cut, "You cannot cut cells from the test case matrix."},
            {ToolId::Paste, "You cannot paste data to the test case grid."},
            {ToolId::Clear, "You cannot clear the test matrix grid. You can generate a different set of test cases."},
            {ToolId::DeleteColumn, "You cannot delete a column from the Test Cases Grid."},
        };
        QGuiApplication::clipboard()->setText("x\ty\n");
        for (const auto& [id, text] : refusals)
            ExpectOneBox(messages, [&] { w.Tool(id)->trigger(); }, text, MsgIcon::Information);
        QCOMPARE(Lines(modMain::TestCasesGrid()), before);
        QVERIFY(!modMain::gbDirty);

        w.Tool(ToolId::Copy)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Browser\tOS\nb1\to1\n"));
    }

    void aSpreadsheetBlockPastesAndGrowsTheSheetAsTypingWould()
    {
        frmMain& w = shownWindow();
        GridView& grid = *w.FactorsSheet()->Grid;
        grid.setActiveCell(1, 1);
        // As a spreadsheet program copies it: CR LF line ends, a cell with a tab and a line
        // break in quotes, its own quote doubled.
        QGuiApplication::clipboard()->setText("Browser\tOS\tScreen\r\nFirefox\tLinux\tPhone\r\n"
                                              "Edge\t\"Win\tdows \"\"10\"\"\nPro\"\tDesktop\r\n");
        w.Tool(ToolId::Paste)->trigger();
        const GridCellStore& store = modMain::FactorsGrid();
        QCOMPARE(store.text(2, 3), QString("Win\tdows \"10\"\nPro"));
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(modMain::Factors().lMaxNumLevels, 2);
        QVERIFY(modMain::gbDirty);

        // What Copy puts on the clipboard pastes back cell for cell.
        grid.selectBlock(1, 1, 3, 3);
        w.Tool(ToolId::Copy)->trigger();
        grid.setActiveCell(4, 1);
        grid.clearSelection();
        w.Tool(ToolId::Paste)->trigger();
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c)
                QCOMPARE(store.text(c + 3, r), store.text(c, r));
        QCOMPARE(modMain::Factors().lNumFactors(), 6);

        // Cells beyond what typing can reach are left out and said so.
        grid.selectBlock(7, 2, 7, 2);
        QGuiApplication::clipboard()->setText("x\ty\n");
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Paste)->trigger(); },
                     "1 of the pasted cells fall outside the sheet and were not pasted. Factors are added by names in "
                     "the \"Factor Name\" row; the Constraints sheet has four columns and the Previous Test sheet one "
                     "per factor.",
                     MsgIcon::Information);
        QCOMPARE(store.text(7, 2), QString("x"));

        // Cut takes the block to the clipboard and leaves it empty.
        grid.selectBlock(1, 2, 2, 2);
        w.Tool(ToolId::Cut)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Firefox\tLinux\n"));
        QCOMPARE(store.text(1, 2), QString());
        QCOMPARE(store.text(3, 2), QString("Phone"));
    }

    void deletingAFactorDeletesItsPreviousTestColumn()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}}, {},
                           {{"a1", "b2", "c1"}, {"a2", "", "c2"}});
        GridView& grid = *w.FactorsSheet()->Grid;
        grid.selectBlock(2, 1, 2, 1);
        ExpectOneBox(messages, [&] { w.Tool(ToolId::DeleteColumn)->trigger(); },
                     "The Previous Test sheet held values of the deleted factors; they were deleted with them. "
                     "Undo brings them back.",
                     MsgIcon::Information);
        QCOMPARE(Lines(modMain::PrevRunsGrid(), 0, 1), (QStringList{"A|C", "a1|c1", "a2|c2", "|"}));
        // The spare column, and a factor without previous values, go without a word.
        grid.selectBlock(3, 1, 3, 1);
        w.Tool(ToolId::DeleteColumn)->trigger();
        w.SetupSheets();
        DesignLoader::Load(w, {{"A", {"a1"}}, {"B", {"b1"}}}, {}, {{"", "b1"}});
        grid.selectBlock(1, 1, 1, 1);
        w.Tool(ToolId::DeleteColumn)->trigger();
        QCOMPARE(ColCaptions(modMain::PrevRunsGrid(), 1, modMain::PrevRunsGrid().maxCols()), QStringList{"B"});
    }

    // Every kind of change to a sheet is one step: Undo puts the sheets, counts and status bar
    // back as they were, Redo as it left them, through the tools and every key. Undone back to
    // the design as it started, nothing is unsaved and the test cases are as stale as before.
    void everyChangeUndoesAndRedoes()
    {
        frmMain& w = shownWindow();
        w.activateWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}},
                           {{"A", "a1", "B", "b2"}}, {{"a1", "b2", "c1"}});
        GridView& factors = *w.FactorsSheet()->Grid;
        const auto onFactors = [&](int c1, int r1, int c2, int r2) {
            w.SwitchToOutlookItem(frmMain::ItemFactorsAndLevels);
            factors.selectBlock(c1, r1, c2, r2);
        };
        const auto tool = [&](const char* id) { return [&w, id] { w.Tool(id)->trigger(); }; };
        const QList<std::tuple<const char*, std::function<void()>, std::function<void()>, int>> changes = {
            {"typing a name", [] {}, [&] { TypeIntoCell(factors, 4, 1, "D"); }, 0},
            {"typing a level", [] {}, [&] { TypeIntoCell(factors, 1, 4, "a3"); }, 0},
            {"paste",
             [&] {
                 onFactors(2, 2, 2, 2);
                 QGuiApplication::clipboard()->setText("x\ty\tz\n");
             },
             tool(ToolId::Paste), 0},
            {"cut", [&] { onFactors(1, 1, 2, 2); }, tool(ToolId::Cut), 0},
            {"clear", [&] { onFactors(2, 2, 3, 3); }, tool(ToolId::Clear), 0},
            {"mark levels invalid", [&] { onFactors(1, 2, 2, 3); }, tool(ToolId::MarkLevelInvalid), 0},
            {"delete row", [&] { onFactors(1, 2, 1, 2); }, tool(ToolId::DeleteRow), 0},
            {"delete column and its previous tests", [&] { onFactors(1, 1, 1, 1); }, tool(ToolId::DeleteColumn), 1},
            {"delete a constraint",
             [&] {
                 w.SwitchToOutlookItem(frmMain::ItemConstraints);
                 w.ConstraintsSheet()->Grid->selectBlock(1, 1, 1, 1);
             },
             tool(ToolId::DeleteRow), 0},
            {"typing a previous test",
             [&] { w.SwitchToOutlookItem(frmMain::ItemPreviousTest); },
             [&] {
                 QComboBox* combo = OpenCombo(*w.PrevRunsSheet()->Grid, 2, 2);
                 QVERIFY(combo);
                 combo->setCurrentIndex(1);
                 emit combo->activated(1);
             },
             0},
        };
        for (const auto& [name, prepare, change, boxes] : changes) {
            prepare();
            const QStringList before = MainWindowTest::Snapshot(w);
            const bool staleBefore = modMain::gbDesignChanged;
            for (int i = 0; i < boxes; ++i)
                messages.answer(MsgResult::Ok);
            change();
            messages.clear();
            const QStringList after = MainWindowTest::Snapshot(w);
            QVERIFY2(after != before, name);
            modMain::gbDirty = false;
            for (const char* keys : {"Ctrl+Z", "Ctrl+Y", "Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+Z"}) {
                QTest::keySequence(&w, QKeySequence(keys));
                QVERIFY2(MainWindowTest::Snapshot(w) == (QString(keys) == "Ctrl+Z" ? before : after),
                         qPrintable(QString(name) + ": " + keys));
            }
            ExpectFlags(false, staleBefore);
            QVERIFY2(w.Tool(ToolId::Redo)->isEnabled(), name);
        }
        tool(ToolId::Redo)();
        QVERIFY(w.Tool(ToolId::Undo)->isEnabled());
        QCOMPARE(answered({MsgResult::No}, tool(ToolId::New)), QStringList{"Do you want to save changes?"});
        QVERIFY(!w.Tool(ToolId::Undo)->isEnabled());
        QVERIFY(!w.Tool(ToolId::Redo)->isEnabled());
    }

    void printSheetWritesTheSheetsCellsPageAfterPage()
    {
        const QString pdf = path("sheet.pdf");
        PdfPrinterSetup printer(pdf);
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"Browser", {"Firefox", "Edge"}}, {"OS", {"Linux", "Windows"}}});
        w.Tool(ToolId::PrintSheet)->trigger();
        QString text = PdfText(pdf);
        for (const char* expected : {"Factors and levels", "Factor Name", "Level 2", "Factor 1", "Browser", "Firefox",
                                     "Edge", "Windows"})
            QVERIFY2(text.contains(expected), expected);

        LoadCases(w, 150);
        w.Tool(ToolId::TestCases)->trigger();
        w.Tool(ToolId::Print)->trigger();
        text = PdfText(pdf);
        QVERIFY2(text.count('\f') >= 3, "a long sheet takes several pages");
        for (const char* expected : {"Test Cases", "Case 150", "b150"})
            QVERIFY2(text.contains(expected), expected);
        QCOMPARE(text.count("Factor_B"), text.count('\f'));  // the captions head every page
        QVERIFY(!PdfIsLandscape(pdf));

        // Thirty factors: landscape, the columns across several pages, each page with the row
        // captions and every caption whole.
        DesignLoader::Load(w, DesignLoader::Uniform(3, 30));
        w.Tool(ToolId::FactorsandLevels)->trigger();
        w.Tool(ToolId::PrintSheet)->trigger();
        text = PdfText(pdf);
        QVERIFY(PdfIsLandscape(pdf));
        QVERIFY2(text.count('\f') >= 2, qPrintable(text));
        for (const char* caption : {"Factor Name", "Level 3"})
            QCOMPARE(text.count(caption), text.count('\f'));
        for (int f = 1; f <= 30; ++f)
            QCOMPARE(text.count(QRegularExpression(QString("\\bFactor %1\\b").arg(f))), 1);
        QCOMPARE(printer.dialogAsked(), (QList<bool>{false, true, false}));
    }
};

QTEST_MAIN(EditCommandsTest)
#include "EditCommandsTest.moc"
