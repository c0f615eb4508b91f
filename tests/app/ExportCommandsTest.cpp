// The Export commands through the main window: the save dialog of each format, the file
// written from the Test Cases sheet and handed to the desktop, and the design left alone.
#include "app/modMain.h"
#include "model/GridCellStore.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingShellOpener.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

using namespace MainWindowTest;
using namespace SheetTest;

class ExportCommandsTest : public MainWindowTestCase {
    Q_OBJECT

    // A generated matrix of two factors and two test cases on the Test Cases sheet.
    static void FillTestCases()
    {
        GridCellStore& grid = modMain::TestCasesGrid();
        grid.setMaxCols(2);
        grid.setMaxRows(3);
        const char* cells[3][2] = {{"Browser", "OS"}, {"Firefox", "Linux"}, {"Safari, old", "macOS"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                grid.setText(c + 1, r + 1, QString::fromUtf8(cells[r][c]));
    }

private slots:
    void eachFormatAsksForItsFileWritesItAndOpensIt()
    {
        QTemporaryDir dir;
        ScriptedFileDialogs dialogs;
        RecordingShellOpener shell;
        frmMain w;
        FillTestCases();
        const struct {
            const char* id;
            const char* filter;
            const char* written;
        } kinds[] = {{"ID_CommaDeliminated", "Text Files (*.csv)", "matrix.csv"},
                     {"ID_TabDeliminated", "Text Files (*.txt)", "matrix.txt"},
                     {"ID_HTML", "HTML Files (*.html)", "matrix.html"},
                     {"ID_XML", "XML Files (*.xml)", "matrix.xml"},
                     {"ID_Excel", "Excel Files (*.xlsx)", "matrix.xlsx"}};
        for (const auto& kind : kinds) {
            dialogs.answer(dir.filePath("matrix"));  // typed without its extension
            w.Tool(kind.id)->setEnabled(true);
            w.Tool(kind.id)->trigger();
            QCOMPARE(dialogs.requests().last().filter, QString(kind.filter));
            QVERIFY2(QFile::exists(dir.filePath(kind.written)), kind.written);
            QCOMPARE(shell.requests().last().file, dir.filePath(kind.written));
        }
        QFile csv(dir.filePath("matrix.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), QByteArray("Browser,OS\r\nFirefox,Linux\r\n\"Safari, old\",macOS\r\n"));
        QVERIFY(!modMain::gbDirty);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
    }

    void theSystemFolderIsRefusedAndCancelWritesNothing()
    {
        QTemporaryDir dir;
        ScriptedFileDialogs dialogs;
        RecordingShellOpener shell;
        frmMain w;
        FillTestCases();
        dialogs.answer("/USR/share/matrix.csv").answer(QString());
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_CommaDeliminated");
        TakeOnlyMessage(messages, "You can not store test files in the Windows System Folder", MsgIcon::Information);
        QCOMPARE(dialogs.requests().size(), 2);  // the dialog came back, then was cancelled
        QVERIFY(shell.requests().isEmpty());
    }

    void aFailedExportSaysSoAndLeavesNoFile()
    {
        QTemporaryDir dir;
        ScriptedFileDialogs dialogs;
        RecordingShellOpener shell;
        frmMain w;
        FillTestCases();
        const QString target = dir.filePath("no-such-folder/matrix.csv");
        dialogs.answer(target);
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_CommaDeliminated");
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.last().text.startsWith("The matrix could not be exported to\n" + target));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        messages.clear();
        QVERIFY(!QFile::exists(target));
        QVERIFY(shell.requests().isEmpty());
    }
};

QTEST_MAIN(ExportCommandsTest)
#include "ExportCommandsTest.moc"
