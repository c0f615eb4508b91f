// Invalid levels through the main window: Mark Level Invalid on the selected levels (look,
// toggle, Undo, refusals), the mark going with its level, and a design with invalid levels
// generated, counted, exported as CSV, saved and opened again.
#include "app/CommandTable.h"
#include "app/modMain.h"
#include "files/DelimitedLine.h"
#include "model/DesignWorkbook.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingShellOpener.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QRegularExpression>

#include <set>

using namespace SheetTest;

namespace {
void RunOn(frmMain& w, const char* id, int col1, int row1, int col2, int row2)
{
    w.FactorsSheet()->Grid->selectBlock(col1, row1, col2, row2);
    w.Tool(id)->trigger();
}

CFactors::LevelCells ReadInvalidLevels()
{
    DesignText read;
    return modMain::Workbook().Read(false, read) ? read.invalidLevels : CFactors::LevelCells{{-1, -1}};
}

// The pixels of a clear red in the cell as the sheet draws it.
int RedPixels(GridView& grid, int col, int row)
{
    const QImage cell = grid.viewport()->grab(grid.visualRect(grid.model()->index(row - 1, col - 1))).toImage();
    int count = 0;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (const QColor c = cell.pixelColor(x, y); c.red() > std::max(c.green(), c.blue()) + 60)
                ++count;
    return count;
}
}  // namespace

class InvalidLevelsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void theSelectedLevelsAreMarkedShownAfterATildeAndToggled()
    {
        frmMain& w = shownWindow();
        GridView& grid = *w.FactorsSheet()->Grid;
        DesignLoader::Load(w, {{"Card", {"valid", "   ", "expired"}}, {"Amount", {"1", "-1"}}});
        QVERIFY(w.findChild<QMenu*>(ToolId::mnuEdit)->actions().contains(w.Tool(ToolId::MarkLevelInvalid)));
        RunOn(w, ToolId::MarkLevelInvalid, 1, 1, 2, 4);  // names, levels, a blank level, an empty cell
        QCOMPARE(Lines(modMain::FactorsGrid()),
                 (QStringList{"Card|Amount|", "~valid|~1|", "   |~-1|", "~expired||", "||"}));
        QCOMPARE(modMain::FactorsGrid().text(1, 4), QString("expired"));
        QVERIFY(grid.cellLook(1, 4).font.italic() && !grid.cellLook(1, 1).font.italic());
        grid.clearSelection();
        QVERIFY(RedPixels(grid, 1, 4) > 0 && RedPixels(grid, 1, 1) == 0);
        ExpectFlags(true, true);
        // The read drops the blank level: "expired" is level 2, its mark with it.
        QCOMPARE(ReadInvalidLevels(), (CFactors::LevelCells{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));

        w.activateWindow();
        grid.selectBlock(1, 2, 1, 4);  // every one marked: valid again
        QTest::keySequence(&grid, QKeySequence("Ctrl+I"));
        RunOn(w, ToolId::MarkLevelInvalid, 1, 2, 2, 2);  // one of them marked: both marked
        QCOMPARE(ReadInvalidLevels(), (CFactors::LevelCells{{1, 1}, {1, 2}, {2, 2}}));
        QCOMPARE(w.Tool(ToolId::Undo)->toolTip(), QString("Undo Mark Level Invalid"));
        w.Tool(ToolId::Undo)->trigger();
        QCOMPARE(ReadInvalidLevels(), (CFactors::LevelCells{{1, 2}, {2, 2}}));
        TypeIntoCell(grid, 2, 3, "  ");  // typed blank: no level, no mark
        QCOMPARE(RowTexts(modMain::FactorsGrid(), 3, 1, 2), (QStringList{"   ", "  "}));

        messages.answer(MsgResult::Ok);
        RunOn(w, ToolId::MarkLevelInvalid, 1, 1, 3, 1);
        TakeOnlyMessage(messages,
                        "Select the levels to mark invalid: the cells below the factor names that hold a level.",
                        MsgIcon::Information);
        w.Tool(ToolId::TestCases)->trigger();
        ExpectOneBox(messages, [&] { w.Tool(ToolId::MarkLevelInvalid)->trigger(); },
                     "Only levels can be marked invalid: select them on the Factors and Levels sheet.",
                     MsgIcon::Information);
    }

    void aMarkGoesWithItsLevelThroughADeletedRowCutAndPaste()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2", "a3"}}, {"B", {"b1", "b2"}}});
        RunOn(w, ToolId::MarkLevelInvalid, 1, 3, 1, 4);
        RunOn(w, ToolId::DeleteRow, 1, 2, 1, 2);
        RunOn(w, ToolId::Copy, 1, 2, 1, 3);
        RunOn(w, ToolId::Paste, 2, 1, 2, 1);  // a factor name carries no mark
        RunOn(w, ToolId::Cut, 1, 3, 1, 3);
        QCOMPARE(Lines(modMain::FactorsGrid()), (QStringList{"A|a2|", "~a2|~a3|", "||", "||"}));
        RunOn(w, ToolId::Paste, 2, 3, 2, 3);
        QGuiApplication::clipboard()->setText("typed\n");  // another program's text: the mark stays
        RunOn(w, ToolId::Paste, 2, 2, 2, 2);
        QCOMPARE(Lines(modMain::FactorsGrid()), (QStringList{"A|a2|", "~a2|~typed|", "|~a3|", "||"}));
    }

    // Six factors, two levels of the first and one of the second invalid, a previous test naming
    // one as the test cases show it.
    void aDesignWithInvalidLevelsIsGeneratedExportedSavedAndOpened()
    {
        RecordingShellOpener shell;
        frmMain& w = shownWindow();
        DesignLoader::Load(w, DesignLoader::Uniform(3, 6), {}, {{"~v2", "v2", "v1", "v1", "v1", "v1"}});
        RunOn(w, ToolId::MarkLevelInvalid, 1, 3, 1, 4);
        RunOn(w, ToolId::MarkLevelInvalid, 2, 2, 2, 2);
        // Every pair: 92 of valid levels, 41 of an invalid level with a valid one, and 2 of two
        // invalid levels, which no test case holds.
        for (const char* id : {ToolId::Generate2Way, ToolId::FindAllCombinations})
            ExpectOneBox(messages, [&] { w.Tool(id)->trigger(); },
                         "A total of 135 combinations out of 135 were found in the constraints, previous test, and "
                         "the test case matrix.",
                         MsgIcon::None, MsgButtons::Ok, 34);

        emit w.findChild<QMenu*>(ToolId::mnuExport)->aboutToShow();
        dialogs->answer(path("cases.csv"));
        w.Tool(ToolId::CommaDeliminated)->trigger();
        const QList<QStringList> rows =
            ParseDelimitedText(QString::fromLatin1(FileBytes(path("cases.csv"))), TextFormat::Csv);
        QCOMPARE(rows.value(0), (QStringList{"F1", "F2", "F3", "F4", "F5", "F6"}));
        std::set<QString> shown;
        for (const QStringList& row : rows.mid(1)) {
            QVERIFY2(row.filter(QRegularExpression("^~")).size() <= 1, qPrintable(row.join(',')));
            for (int f = 0; f < 2; ++f)
                if (row[f].startsWith('~'))
                    shown.insert(row[f]);
        }
        QCOMPARE(shown, (std::set<QString>{"~v1", "~v2", "~v3"}));

        dialogs->answer(path("design.test"));
        w.Tool(ToolId::SaveAs)->trigger();
        w.Tool(ToolId::New)->trigger();
        dialogs->answer(path("design.test"));
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(ReadInvalidLevels(), (CFactors::LevelCells{{2, 1}, {3, 1}, {1, 2}}));
    }
};

QTEST_MAIN(InvalidLevelsTest)
#include "InvalidLevelsTest.moc"
